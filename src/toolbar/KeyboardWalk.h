#pragma once

#include <QObject>
#include <QPointer>

#include <cstdint>

class ButtonStrip;
class QKeyEvent;
class QWidget;
class ToolbarWindow;
struct ToolbarContext;

// A toolbar worked from the keyboard. take() brings the toolbar forward with the focus
// on its buttons (a key bound to "vyrelight --focus" calls it); then, on the strip:
//
//   arrows along the bar   the next or previous button (separators are passed over)
//   Tab, Shift+Tab         the same, going round at the ends: the toolbar keeps the focus
//   Home, End              the first and the last button
//   Enter, Space           start the marked button, as a click does
//   1 to 9                 start the first nine buttons, counted as they are seen
//   Menu, Shift+F10        the toolbar's menu, opened at the toolbar
//   Escape                 the focus goes back where it was, and an auto-hiding bar folds
//
// While the toolbar has the focus an auto-hiding bar stays unfolded; once the focus has
// gone elsewhere it folds as soon as the mouse is not over it.
class KeyboardWalk : public QObject {
    Q_OBJECT
public:
    KeyboardWalk(ToolbarContext& context, ToolbarWindow& window, ButtonStrip& strip);

    void take();
    // Escape: the focus goes back to the window that had it before take(), where
    // possible, and an auto-hiding bar folds.
    void giveBack();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(const QKeyEvent& key);
    bool vertical() const;
    // Normal buttons from the marked one: step +1 or -1; wrap: go round at the ends.
    int nextButton(int from, int step, bool wrap) const;
    // The n-th normal button (1-based) as the user sees it; 0: none.
    int nthButton(int n) const;
    void mark(int position);
    void start(int position);

    ToolbarContext& m_context;
    ToolbarWindow& m_window;
    ButtonStrip& m_strip;
    // Where the focus was before take(): a window of ours, or another program's.
    QPointer<QWidget> m_previous;
    std::uint32_t m_previousDesktop{0};
};
