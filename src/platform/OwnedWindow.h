#pragma once

#include <QPointer>

#include <utility>

// Owns a window that may also go without us: one that deletes itself when closed, or
// that a parent takes down with it. Whichever comes first, the window is deleted once,
// and asking for it afterwards gives null instead of a dangling pointer.
template <typename Window>
class OwnedWindow {
public:
    OwnedWindow() = default;
    explicit OwnedWindow(Window* window) : m_window(window) {}
    OwnedWindow(OwnedWindow&& other) noexcept : m_window(std::exchange(other.m_window, nullptr)) {}
    OwnedWindow& operator=(OwnedWindow&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_window, nullptr));
        return *this;
    }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    ~OwnedWindow() { delete m_window.data(); }

    // Deletes the window held, if it is still there, and holds window instead.
    void reset(Window* window = nullptr)
    {
        Window* old = m_window.data();
        m_window = window;
        if (old != window)
            delete old;
    }

    Window* get() const { return m_window.data(); }
    Window* operator->() const { return m_window.data(); }
    Window& operator*() const { return *m_window.data(); }
    explicit operator bool() const { return !m_window.isNull(); }

private:
    QPointer<Window> m_window;
};
