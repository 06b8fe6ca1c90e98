#include "toolbar/KeyboardWalk.h"

#include "platform/SkipOnError.h"
#include "platform/WindowActivation.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/ToolbarContext.h"
#include "toolbar/ToolbarWindow.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

constexpr int FirstButton = ButtonStrip::FirstButton;

} // namespace

KeyboardWalk::KeyboardWalk(ToolbarContext& context, ToolbarWindow& window, ButtonStrip& strip)
    : QObject(&window), m_context(context), m_window(window), m_strip(strip)
{
    m_strip.installEventFilter(this);
    m_window.installEventFilter(this);
}

bool KeyboardWalk::vertical() const
{
    const ToolbarSet& set = m_context.set;
    const std::uint8_t t = m_window.index();
    return t < set.Tbrs.size() && isTrue(set.Tbrs[t].Vertical);
}

int KeyboardWalk::nextButton(int from, int step, bool wrap) const
{
    const int count = m_strip.buttonCount();
    if (count < FirstButton)
        return 0;
    const int span = count - FirstButton + 1;
    int p = from;
    // From no button, a step on lands on the first and a step back on the last.
    if (p < FirstButton || p > count)
        p = step > 0 ? FirstButton - 1 : count + 1;
    for (int tried = 0; tried < span; ++tried) {
        p += step;
        if (p < FirstButton || p > count) {
            if (!wrap)
                return from >= FirstButton && from <= count ? from : 0;
            p = step > 0 ? FirstButton : count;
        }
        if (m_strip.style(p) == ButtonStrip::Style::Normal)
            return p;
    }
    return 0;
}

int KeyboardWalk::nthButton(int n) const
{
    for (int p = FirstButton; p <= m_strip.buttonCount(); ++p)
        if (m_strip.style(p) == ButtonStrip::Style::Normal && --n == 0)
            return p;
    return 0;
}

void KeyboardWalk::mark(int position)
{
    if (position > 0)
        m_strip.setFocusMark(position);
}

void KeyboardWalk::start(int position)
{
    if (position <= 0)
        return;
    m_strip.setFocusMark(position);
    // The click's own path: what a click starts, and how it reports a failure.
    m_strip.press(position);
}

void KeyboardWalk::take()
{
    // Asked twice in a row, the window that had the focus before the first stays the one
    // to go back to.
    QWidget* active = QApplication::activeWindow();
    if (active != &m_window) {
        m_previous = active;
        m_previousDesktop = 0;
        if (!active) {
            const std::uint32_t desktop = desktopActiveWindow();
            if (!m_window.testAttribute(Qt::WA_WState_Created) || desktop != m_window.winId())
                m_previousDesktop = desktop;
        }
    }
    m_window.holdOpen();
    if (!m_window.isVisible())
        return;
    activateForUser(m_window);
    m_strip.setFocus(Qt::OtherFocusReason);
    if (!m_strip.focusMark())
        mark(nextButton(0, 1, false));
}

void KeyboardWalk::giveBack()
{
    m_window.letGo(ToolbarWindow::FoldAfter::Now);
    m_strip.clearFocus();
    QPointer<QWidget> previous = m_previous;
    const std::uint32_t desktop = m_previousDesktop;
    m_previous = nullptr;
    m_previousDesktop = 0;
    if (previous && previous->isVisible())
        activateForUser(*previous);
    else if (desktop)
        activateDesktopWindow(desktop);
}

bool KeyboardWalk::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::WindowDeactivate)
        skipOnError("focus gone", [&] { m_window.letGo(ToolbarWindow::FoldAfter::MouseLeft); });
    if (watched == &m_strip && event->type() == QEvent::KeyPress) {
        bool used = false;
        skipOnError("key on a toolbar", [&] { used = keyPressed(*static_cast<QKeyEvent*>(event)); });
        return used;
    }
    return QObject::eventFilter(watched, event);
}

bool KeyboardWalk::keyPressed(const QKeyEvent& key)
{
    // A button held or dragged with the mouse: Escape is its drag's.
    if (m_strip.mouseHeld())
        return false;
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const bool shift = mods == Qt::ShiftModifier;
    if (mods != Qt::NoModifier && !shift)
        return false;
    const int k = key.key();
    const int at = m_strip.focusMark();
    const bool along = vertical();
    // Starting keys act once per press: a held key must not start a program per repeat.
    const bool repeat = key.isAutoRepeat();

    if (k == Qt::Key_Escape && !shift) {
        giveBack();
        return true;
    }
    int to = -1;      // the button to mark
    int started = -1; // the button to start
    bool menu = false;
    if (!shift && ((along && k == Qt::Key_Down) || (!along && k == Qt::Key_Right)))
        to = nextButton(at, 1, false);
    else if (!shift && ((along && k == Qt::Key_Up) || (!along && k == Qt::Key_Left)))
        to = nextButton(at, -1, false);
    else if (k == Qt::Key_Tab && !shift)
        to = nextButton(at, 1, true);
    else if (k == Qt::Key_Backtab || (k == Qt::Key_Tab && shift))
        to = nextButton(at, -1, true);
    else if (k == Qt::Key_Home && !shift)
        to = nextButton(0, 1, false);
    else if (k == Qt::Key_End && !shift)
        to = nextButton(0, -1, false);
    else if (!shift && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space))
        started = repeat ? 0 : at;
    else if (!shift && k >= Qt::Key_1 && k <= Qt::Key_9)
        started = repeat ? 0 : nthButton(k - Qt::Key_0);
    else if ((k == Qt::Key_Menu && !shift) || (k == Qt::Key_F10 && shift))
        menu = true;
    else
        return false;
    // Working on the toolbar keeps it open, even one the mouse had unfolded. First: a
    // start may show a message box, and the focus may be gone once it is answered.
    m_window.holdOpen();
    if (to >= 0)
        mark(to);
    else if (menu)
        m_window.openMenu();
    else
        start(started);
    return true;
}
