// Assistive tools see each painted button and separator of a strip: its name, its place,
// whether it shows, and a press; and a toolbar's handle as the button of its menu.
#include "ToolbarFixture.h"

#include <QAccessible>

namespace {

// Positions 3 "Alpha" (caption), 4 (tooltip only), gap 5, 6 (neither).
struct NamedStrip : Strip {
    NamedStrip()
    {
        setCaptionsShown(true);
        setCaption(3, QStringLiteral("Alpha"));
        setToolTipText(3, QStringLiteral("alpha tip"));
        setToolTipText(4, QStringLiteral("Beta"));
    }
};

TEST(StripAccessible, EachButtonAndSeparatorIsAChildWithItsNameAndRole)
{
    NamedStrip strip;
    strip.setWindowTitle(QStringLiteral("Tools"));
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&strip);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(std::tuple(bar->role(), bar->text(QAccessible::Name), bar->childCount()),
              std::tuple(QAccessible::ToolBar, QStringLiteral("Tools"), 4)); // its toolbar's name
    using A = QAccessible;
    const QStringList press{QAccessibleActionInterface::pressAction()};
    const std::tuple<A::Role, QString, QString, QStringList> expected[] = {
        {A::Button, "Alpha", "alpha tip", press}, {A::Button, "Beta", "", press}, {A::Separator, "", "", {}},
        {A::Button, "", "", press}};
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* child = bar->child(i);
        ASSERT_NE(child, nullptr) << i;
        EXPECT_EQ(std::tuple(child->role(), child->text(A::Name), child->text(A::Description),
                             child->actionInterface()->actionNames()), expected[i]) << i;
        // Asked again, the same interface.
        EXPECT_EQ(std::tuple(bar->indexOfChild(child), child->parent(), bar->child(i)), std::tuple(i, bar, child));
    }
    // Where it is painted: the last child is the button after the gap.
    strip.show();
    const QRect last = bar->child(3)->rect();
    EXPECT_EQ(last.size(), strip.buttonPixelRect(6).size());
    EXPECT_EQ(bar->childAt(last.center().x(), last.center().y()), bar->child(3));
    EXPECT_EQ(bar->child(4), nullptr);
}

TEST(StripAccessible, PressClicksTheButtonThatStandsThereNowAndASeparatorNothing)
{
    Strip strip;
    std::vector<int> pressed;
    QObject::connect(&strip, &ButtonStrip::buttonClicked, [&](int p) { pressed.push_back(p); });
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&strip);
    QAccessibleInterface* secondButton = bar->child(1);
    QAccessibleActionInterface* second = secondButton->actionInterface();
    ASSERT_NE(second, nullptr);
    second->doAction(QAccessibleActionInterface::pressAction());

    // The first button goes: the second child is now the separator, the third the
    // button after it.
    strip.removeButton(3);
    ASSERT_EQ(bar->childCount(), 3);
    second->doAction(QAccessibleActionInterface::pressAction());
    bar->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressed, (std::vector<int>{4, 5}));
    // Past the last button: nothing to press, nothing pressed.
    strip.removeButton(3);
    strip.removeButton(3);
    EXPECT_EQ(std::pair(bar->childCount(), secondButton->isValid()), std::pair(1, false));
    second->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressed.size(), 2u);
}

// A child "shows" when it neither is invisible nor lies outside what its window shows.
TEST_F(ToolbarTest, AFoldedOrHiddenToolbarDoesNotReadItsButtonsAsShowing)
{
    ToolbarWindow& w = built(1, ThreeAndASep);
    QAccessibleInterface* last = QAccessible::queryAccessibleInterface(&w.strip())->child(3);
    const auto state = [&] { return std::pair(bool(last->state().offscreen), bool(last->state().invisible)); };
    EXPECT_EQ(state(), std::pair(false, false));
    w.fold(FoldDirection::Fold);
    clock.settle();
    EXPECT_EQ(state(), std::pair(true, false)); // down to its handle
    w.fold(FoldDirection::Unfold);
    EXPECT_EQ(state(), std::pair(false, false));
    w.hide();
    EXPECT_TRUE(state().second);
}

// A press opens the menu too: voice control and switch access press what they are told to.
TEST_F(ToolbarTest, TheHandleIsAMenuButtonNamedForItsToolbarThatOpensTheMenu)
{
    ToolbarWindow& w = built(1, {Btn("A")});
    QAccessibleInterface* handle = QAccessible::queryAccessibleInterface(&w.handle());
    QAccessibleActionInterface* actions = handle->actionInterface();
    ASSERT_NE(actions, nullptr);
    const QStringList names{QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
    EXPECT_EQ(std::tuple(handle->role(), handle->text(QAccessible::Name), bool(handle->state().hasPopup), actions->actionNames()),
              std::tuple(QAccessible::ButtonMenu, QStringLiteral("Toolbar 1 menu"), true, names));
    for (const QString& action : names) {
        w.menu().hide();
        actions->doAction(action);
        EXPECT_TRUE(w.menu().isVisible()) << action.toStdString(); // where, is the menu's own test
    }
}

} // namespace
