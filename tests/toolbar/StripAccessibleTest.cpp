// Assistive tools see each painted button of a strip: its name, its place, and a press.
#include "support/FakePointer.h"
#include "toolbar/ButtonStrip.h"

#include <QAccessible>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct WithPointer {
    FakePointer pointer;
};

// Positions 3 "Alpha" (caption), 4 (tooltip only), gap 5, 6 (neither).
struct Strip : WithPointer, ButtonStrip {
    Strip() : ButtonStrip(pointer)
    {
        for (int p = 3; p <= 6; ++p)
            addButton(p, p == 5 ? Style::Gap : Style::Normal, 1);
        setCaptionsShown(true);
        setCaption(3, QStringLiteral("Alpha"));
        setToolTipText(3, QStringLiteral("alpha tip"));
        setToolTipText(4, QStringLiteral("Beta"));
    }
};

TEST(StripAccessible, EachNormalButtonIsAChildWithItsNameAndGapsAreLeftOut)
{
    Strip strip;
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&strip);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::ToolBar);
    ASSERT_EQ(bar->childCount(), 3);
    const struct {
        QString name, description;
    } expected[] = {{"Alpha", "alpha tip"}, {"Beta", ""}, {"", ""}};
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* button = bar->child(i);
        ASSERT_NE(button, nullptr) << i;
        EXPECT_EQ(button->role(), QAccessible::Button);
        EXPECT_EQ(button->text(QAccessible::Name), expected[i].name) << i;
        EXPECT_EQ(button->text(QAccessible::Description), expected[i].description) << i;
        EXPECT_EQ(bar->indexOfChild(button), i);
        EXPECT_EQ(button->parent(), bar);
        EXPECT_EQ(bar->child(i), button) << "asked again, the same interface";
    }
    // Where it is painted: the third child is the button after the gap.
    const QRect third = bar->child(2)->rect();
    EXPECT_EQ(third.size(), strip.buttonPixelRect(6).size());
    EXPECT_EQ(bar->childAt(third.center().x(), third.center().y()), bar->child(2));
    EXPECT_EQ(bar->child(3), nullptr);
}

TEST(StripAccessible, PressClicksTheButtonThatStandsThereNow)
{
    Strip strip;
    QSignalSpy clicks(&strip, &ButtonStrip::buttonClicked);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&strip);
    QAccessibleInterface* secondButton = bar->child(1);
    QAccessibleActionInterface* second = secondButton->actionInterface();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    second->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 4);

    // The first button goes: the second child is now the one after the gap.
    strip.removeButton(3);
    ASSERT_EQ(bar->childCount(), 2);
    second->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks.at(1).at(0).toInt(), 5);
    // Past the last button: nothing to press, nothing pressed.
    strip.removeButton(3);
    EXPECT_EQ(bar->childCount(), 1);
    EXPECT_FALSE(secondButton->isValid());
    second->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 2);
}

} // namespace
