// What the user does with the handle and the popup menu, and how the manager keeps the
// windows when toolbars go.
#include "ToolbarFixture.h"

#include <QPointer>

TEST_F(ToolbarTest, DragMovesWindowExactlyAndStoresThePlaceOnlyOnRelease)
{
    ToolbarWindow& w = built(1, {Btn("A")});
    const QPoint from = grab(1) + QPoint(-3, 4); // taken off centre, so x and y differ
    drag(1, from, from + QPoint(7, 3), false);
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, from + QPoint(20, 10));
    const auto stored = [&] { return std::pair(rec(1).Left, rec(1).Top); };
    EXPECT_EQ(std::tuple(w.leftTwips(), w.topTwips(), w.geometry().topLeft(), stored()),
              std::tuple(3300.0f, 1650.0f, QPoint(220, 110), std::pair(3000.0f, 1500.0f)));
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, from + QPoint(20, 10));
    EXPECT_EQ(stored(), std::pair(3300.0f, 1650.0f));
    // Released, the mouse moves the window no more.
    mouse(1, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, from + QPoint(40, 40));
    EXPECT_EQ(w.leftTwips(), 3300.0f);
    // Off the screen is fine: positions are stored as they are.
    drag(1, from + QPoint(20, 10), from + QPoint(-300, -200));
    EXPECT_EQ(stored(), std::pair(-1500.0f, -1500.0f));
    // A release without a drag stores where the window is.
    w.moveTwips(4500, 6000, 500, 420);
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab(1));
    EXPECT_EQ(stored(), std::pair(4500.0f, 6000.0f));
}

TEST_F(ToolbarTest, UnmoveableToolbarKeepsItsStoredPlaceWhateverTheWindowDoes)
{
    ToolbarWindow& w = built(1, {Btn("A")}, {Unmoveable});
    drag(1, grab(1), grab(1) + QPoint(20, 10), false);
    EXPECT_EQ(w.leftTwips(), 3000.0f);
    w.moveTwips(0, 0, w.widthTwips(), w.heightTwips()); // moved by other means meanwhile
    mouse(1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab(1) + QPoint(20, 10));
    // A window made but never placed keeps the record's place too.
    toolbar(2, {Btn("A")});
    window(2);
    toolbars.takePositions();
    EXPECT_EQ(std::tuple(rec(1).Left, rec(1).Top, rec(2).Left), std::tuple(3000.0f, 1500.0f, 3000.0f));
}

// The menu is made when first needed and ticks from the record, which may have changed
// behind its back; a right press ends a left drag and opens it.
TEST_F(ToolbarTest, MenuIsMadeOnFirstNeedTicksFromTheModesAndItsItemsReachTheirCommands)
{
    ToolbarWindow& w = built(2, ThreeAndASep, {AutoHide});
    toolbars.applyMode(2, Vertical);
    EXPECT_EQ(w.findChild<QMenu*>(), nullptr);
    QMenu& menu = w.menu();
    rec(2).AlwaysOnTop = True16;
    const QPoint from = grab(2);
    mouse(2, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
    mouse(2, QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton, from);
    EXPECT_EQ(std::tuple(menu.isVisible(), menu.objectName(), menu.pos(), menu.defaultAction()),
              std::tuple(true, QStringLiteral("C_mnuPOPUP"), w.geometry().topLeft() + QPoint(13, 13), item(2, "C_mnuCFG")));
    EXPECT_TRUE(item(2, "C_mnuCFG")->font().bold());
    for (int m = 0; m < ModeCount; ++m)
        EXPECT_EQ(w.modeAction(m)->isChecked(), isTrue(rec(2).mode(m))) << m;
    // Neither a left drag cut off by the right press nor a middle press drags the window.
    mouse(2, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, from + QPoint(20, 10));
    menu.hide();
    mouse(2, QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, from);
    mouse(2, QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, from + QPoint(20, 10));
    EXPECT_EQ(std::pair(w.leftTwips(), menu.isVisible()), std::pair(3000.0f, false));

    item(2, "C_mnuCFG")->trigger();
    mouse(2, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, grab(2));
    EXPECT_EQ(host.configShown, std::vector<int>({2, 2}));
    item(2, "C_mnuABOUT")->trigger();
    item(2, "C_mnuEND")->trigger();
    EXPECT_EQ(std::pair(host.abouts, host.quits), std::pair(1, 0)); // queued: not under the menu's own click
    QCoreApplication::processEvents();
    EXPECT_EQ(host.quits, 1);
}

TEST_F(ToolbarTest, RemovingAToolbarRenumbersTheWindowsAfterIt)
{
    for (int t = 0; t < 4; ++t)
        built(t, {Btn("A")});
    QPointer<ToolbarWindow> gone(&window(1));
    ToolbarWindow* third = &window(3);
    // The set drops toolbar 1; the manager follows.
    set.Tbrs.erase(set.Tbrs.begin() + 1);
    set.TbrLast = 2;
    toolbars.remove(1);
    EXPECT_EQ(std::tuple(gone->isVisible(), toolbars.find(2), third->index(), toolbars.find(3)),
              std::tuple(false, third, 2, static_cast<ToolbarWindow*>(nullptr)));
    emit third->strip().buttonClicked(3);
    EXPECT_EQ(host.clicks, (std::vector<std::pair<int, int>>{{2, 1}}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

TEST_F(ToolbarTest, ClosingAllFromInsideAWindowsOwnHandlerLeavesItAliveUntilTheHandlerReturns)
{
    ToolbarWindow& w = built(1, ThreeAndASep);
    QPointer<ToolbarWindow> alive(&w);
    host.onSave = [&] { toolbars.closeAll(); }; // ending the program during a mode's save
    item(1, "M_mnuCAP")->trigger();
    ASSERT_FALSE(alive.isNull());
    EXPECT_FALSE(alive->isVisible());
    EXPECT_TRUE(item(1, "M_mnuCAP")->isChecked());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

// A right click on a button opens that button's menu where the mouse is: its items reach
// the program with the record button (a blank one, not shown, is never a neighbour; a
// gap is), and the toolbar's own menu is its last item. A drag along the bar asks for the
// move by record buttons, and clicks go on as before.
TEST_F(ToolbarTest, AButtonsMenuAndDragNameItsRecordButtonAndItsNeighboursOnTheBar)
{
    // Records 1 A, 2 blank (left out), 3 B, 4 separator, 5 C: positions 3 A, 4 B, 5 gap, 6 C.
    ToolbarWindow& w = built(1, {Btn("A"), Btn("blank", " "), Btn("B"), Sep(), Btn("C")});
    ButtonStrip& s = w.strip();
    const auto at = [&](int position) { return s.buttonPixelRect(position).center(); };
    const auto rightClick = [&](int position) {
        QTest::mousePress(&s, Qt::RightButton, {}, at(position));
        QTest::mouseRelease(&s, Qt::RightButton, {}, at(position));
        return w.buttonMenu();
    };
    const auto texts = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isEnabled() ? "" : " (off)"));
        return out;
    };

    EXPECT_EQ(w.buttonMenu(), nullptr); // made when first needed
    QMenu* menu = rightClick(4);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(std::pair(menu->isVisible(), menu->pos()), std::pair(true, s.mapToGlobal(at(4))));
    EXPECT_EQ(texts(menu), QStringList({"Edit Button...", "Delete Button", "Move Left", "Move Right", "-", "Toolbar"}));
    EXPECT_EQ(menu->actions().last()->menu(), &w.menu());
    for (auto [position, moves] : {std::pair(3, QStringList{"Move Left (off)", "Move Right"}),
                                   {6, QStringList{"Move Left", "Move Right (off)"}}}) {
        menu->hide();
        EXPECT_EQ(texts(rightClick(position)).mid(2, 2), moves);
    }
    // The gap moves like a button.
    for (auto [position, item] : {std::pair(4, "C_mnuBTNEDIT"), {4, "C_mnuBTNDEL"}, {4, "C_mnuBTNBACK"},
                                  {4, "C_mnuBTNON"}, {5, "C_mnuBTNON"}}) {
        menu->hide();
        rightClick(position)->findChild<QAction*>(item)->trigger();
    }
    menu->hide();
    // Dragged from A's place to C's (where a drag lands on the bar is the strip's test).
    QTest::mousePress(&s, Qt::LeftButton, {}, at(3));
    QTest::mouseMove(&s, at(6));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, at(6));
    using R = FakeToolbarHost::ButtonRequest;
    EXPECT_EQ(host.buttonRequests, (std::vector<R>{{"edit", 1, 3, 0}, {"delete", 1, 3, 0}, {"move", 1, 3, 1},
                                                   {"move", 1, 3, 4}, {"move", 1, 4, 5}, {"move", 1, 1, 5}}));

    // Standing, the moves go up and down; the handle still opens the toolbar's menu alone.
    ToolbarWindow& v = built(2, ThreeAndASep, {Vertical});
    QTest::mousePress(&v.strip(), Qt::RightButton, {}, v.strip().buttonPixelRect(3).center());
    EXPECT_EQ(texts(v.buttonMenu()).mid(2, 2), QStringList({"Move Up (off)", "Move Down"}));
    v.buttonMenu()->hide();
    mouse(2, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, grab(2));
    EXPECT_EQ(std::pair(v.menu().isVisible(), v.buttonMenu()->isVisible()), std::pair(true, false));
    EXPECT_EQ(texts(&v.menu()), QStringList({"&Modes", "&Config...", "-", "&About", "&Terminate"}));
}
