// A toolbar worked from the keyboard: the focus taken and given back, the walk along the
// bar, the keys that start buttons, the menu, and an auto-hiding bar held open meanwhile.
#include "ToolbarFixture.h"

namespace {

class KeyboardTest : public ToolbarTest {
protected:
    // A key as the user types it: to whichever widget has the focus.
    static void type(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(static_cast<QWidget*>(nullptr), key, mods);
    }
    // Toolbar t takes the focus, and the window system has made it the active window.
    void focus(int t)
    {
        window(t).takeKeyboardFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window(t)));
        ASSERT_EQ(QApplication::focusWidget(), &window(t).strip());
    }
    int mark(int t) { return window(t).strip().focusMark(); }
};

// A, B, a separator, C: strip positions 3, 4, (5), 6.
const std::vector<BtnRec> TwoSepOne{Btn("A"), Btn("B"), Sep(), Btn("C")};

// Along, back and across the bar, lying and upright; Tab goes round and keeps the focus
// on this toolbar's buttons; the menu key or Shift+F10 opens the handle's menu.
TEST_F(KeyboardTest, KeysWalkTheBarPassingSeparatorsAndOpenTheMenuAtTheToolbar)
{
    for (auto [vertical, on, back, across, menuKey, menuMods] :
         {std::tuple(false, Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Menu, Qt::KeyboardModifiers()),
          {true, Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)}}) {
        SCOPED_TRACE(vertical ? "upright" : "lying");
        const int t = vertical ? 2 : 1;
        built(t, TwoSepOne, vertical ? std::vector<int>{Vertical} : std::vector<int>{});
        focus(t);
        EXPECT_EQ(mark(t), 3); // the first button
        const std::vector<std::pair<Qt::Key, int>> walk{{on, 4}, {on, 6}, {on, 6}, {across, 6}, {back, 4},
                                                        {Qt::Key_Home, 3}, {back, 3}, {Qt::Key_End, 6}, {Qt::Key_Tab, 3},
                                                        {Qt::Key_Tab, 4}, {Qt::Key_Backtab, 3}, {Qt::Key_Backtab, 6}};
        for (const auto& [key, expected] : walk) {
            type(key);
            EXPECT_EQ(std::pair(mark(t), QApplication::focusWidget()), std::pair(expected, static_cast<QWidget*>(&window(t).strip())))
                << QTest::toString(key);
        }
        type(menuKey, menuMods);
        QMenu& menu = window(t).menu();
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 2000));
        // 45 + 150 twips into the window, not where the mouse is.
        EXPECT_EQ(menu.pos(), window(t).geometry().topLeft() + QPoint(13, 13));
        menu.close();
        EXPECT_TRUE(host.clicks.empty());
    }
}

TEST_F(KeyboardTest, EnterSpaceAndDigitsStartButtonsAsClicksCountingWhatIsSeen)
{
    built(1, TwoSepOne);
    focus(1);
    type(Qt::Key_Return);
    type(Qt::Key_Right);
    type(Qt::Key_Space);
    type(Qt::Key_Enter); // the keypad's
    // The third button seen is C, record button 4: the separator is not counted.
    type(Qt::Key_3);
    EXPECT_EQ(mark(1), 6);
    type(Qt::Key_4); // there is no fourth
    type(Qt::Key_1, Qt::KeypadModifier);
    type(Qt::Key_2, Qt::ControlModifier); // not the toolbar's
    // A held key starts nothing more than its first press did.
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(&window(1).strip(), &held);
    EXPECT_EQ(host.clicks, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 2}, {1, 4}, {1, 1}}));
}

// While the toolbar has the focus an auto-hiding bar stays open, though the mouse that
// opened it has gone; Escape folds it even under the mouse and gives the focus back; the
// focus gone elsewhere, it folds once the mouse has left it.
TEST_F(KeyboardTest, AnAutoHidingBarStaysOpenWhileFocusedAndEscapeFoldsItAndGivesTheFocusBack)
{
    QWidget before;
    before.show();
    before.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&before));
    ToolbarWindow& w = built(1, TwoSepOne, {AutoHide});
    hover(1);
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "focus gone");
        focus(1);
        pointer.cursor = QPoint(900, 700); // far from the bar
        clock.advance(std::chrono::seconds(2));
        EXPECT_EQ(w.widthTwips(), 1715.0f);
        pointer.cursor = w.geometry().center();
        if (escape)
            type(Qt::Key_Escape);
        else
            before.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &before; }, 2000));
        clock.advance(std::chrono::seconds(1));
        EXPECT_EQ(w.widthTwips(), escape ? 435.1f : 1715.0f);
        pointer.cursor = QPoint(900, 700);
        clock.advance(std::chrono::seconds(1));
        EXPECT_EQ(w.widthTwips(), 435.1f);
    }
}

} // namespace
