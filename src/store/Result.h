#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

// Why an operation failed, in words for whoever looks into it: a message with fixed words
// shows it as its details, a skipped step logs it. Plain bytes, like the store's text.
struct Failure {
    std::string reason;
};

// What an operation gives back: its value, or the reason it has none. Every layer uses
// it, so it holds nothing but the standard library. Marked nodiscard: a failure that
// nobody looks at is a failure nobody hears of.
//
//     Result<std::string> read(...);      return bytes;  /  return Failure{"why"};
//     Result<void> start(...);            return {};     /  return Failure{"why"};
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value. Asking a failed result for it is a bug in the caller; it throws, and
    // the exception carries the reason so that it is not lost even then.
    T& value() &
    {
        requireValue();
        return *std::get_if<0>(&m_state);
    }
    const T& value() const&
    {
        requireValue();
        return *std::get_if<0>(&m_state);
    }
    T&& value() &&
    {
        requireValue();
        return std::move(*std::get_if<0>(&m_state));
    }

    // Why it failed; empty for a success.
    const std::string& reason() const
    {
        static const std::string none;
        const Failure* f = std::get_if<1>(&m_state);
        return f ? f->reason : none;
    }

private:
    void requireValue() const
    {
        if (!ok())
            throw std::logic_error("the value of a failed result was asked for: " + reason());
    }

    std::variant<T, Failure> m_state;
};

// An operation that gives nothing back but success or its failure.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default; // success
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure; }
    explicit operator bool() const { return ok(); }

    // Does nothing for a success; throws, like Result<T>::value(), for a failure.
    void value() const
    {
        if (m_failure)
            throw std::logic_error("a failed result was taken for a success: " + m_failure->reason);
    }

    const std::string& reason() const
    {
        static const std::string none;
        return m_failure ? m_failure->reason : none;
    }

private:
    std::optional<Failure> m_failure;
};
