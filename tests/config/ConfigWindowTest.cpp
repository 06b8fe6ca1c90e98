#include "config/ConfigActions.h"
#include "config/ConfigWindow.h"
#include "store/ToolbarSet.h"
#include "support/AccessibleNames.h"
#include "support/TempDir.h"
#include "support/WindowKind.h"
#include "toolbar/BuiltinPictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// Toolbar 2 has no buttons, 0 four named or not, 1 two, 3 a separator and a blank target
// among five. The test is the program: it records every intent, and applyMode toggles the
// flag and ticks the shown toolbar's box as the program does, or fails halfway or is
// refused when told to. Only toolbar 1 has a handle picture.
class ConfigWindowTest : public ::testing::Test, public ConfigActions {
protected:
    ConfigWindowTest()
    {
        set.RedimTbrs(3);
        set.TbrLast = 3;
        const char* names[] = {"Default", "Tools", "Empty", "Mixed"};
        for (int i = 0; i < 4; ++i) {
            set.Tbrs[i].Name = names[i];
            set.Tbrs[i].BtnsRead = true; // the buttons are the test's, no file's
        }
        fill(0, {{"", "/opt/tools/unnamed.sh"}, {"  ", "/srv/share/"}, {"Named", "/bin/named"}, {"", "/"}});
        fill(1, {{"Editor", "/usr/bin/editor"}, {"Shell", "/usr/bin/xterm"}});
        fill(3, {{"Alpha", "/bin/alpha"}, {"", ""}, {"Blank", "   "}, {"Delta", " /bin/delta "}, {"Echo", "/bin/echo"}});
        set.Tbrs[3].Btns[2].Kind = KindSeparator;
        set.Tbrs[1].Vertical = True16;
        set.Tbrs[3].AlwaysOnTop = set.Tbrs[3].Visible = set.Tbrs[3].Unmoveable = True16;
    }
    // Appends buttons to toolbar t, each a name and a target.
    void fill(int t, std::initializer_list<std::pair<const char*, const char*>> buttons)
    {
        for (const auto& [name, target] : buttons) {
            BtnRec& b = set.Tbrs[t].Btns[++set.Tbrs[t].BtnCount];
            b.Name = name;
            b.Executable = target;
        }
    }

    void applyMode(std::uint8_t t, int m) override
    {
        log("applyMode", t, m);
        if (apply == Refuse)
            return;
        Bool16& f = set.Tbrs[t].mode(m);
        f = toBool16(!isTrue(f));
        if (apply == Fail)
            throw std::runtime_error("window gone");
        if (cfg.shows(t))
            cfg.setModeCheck(m, isTrue(f));
    }
    QPixmap handlePicture(std::uint8_t t) override { return ++pictures, t == 1 ? picture : QPixmap(); }
    void addButton(std::uint8_t t) override { log("addButton", t); }
    void editButton(std::uint8_t t, int k) override { log("editButton", t, k); }
    void deleteButton(std::uint8_t t, int k) override { log("deleteButton", t, k); }
    void addToolbar() override { log("addToolbar"); }
    void editToolbar(std::uint8_t t) override { log("editToolbar", t); }
    void deleteToolbar(std::uint8_t t) override { log("deleteToolbar", t); }
    bool exchangeButtons(std::uint8_t t, int a, int b) override { return log("exchangeButtons", t, a, b), true; }
    void log(std::string what, auto... numbers) { calls.push_back((what + ... + (" " + std::to_string(int(numbers))))); }

    template <typename W = QWidget>
    W* child(const QString& name) { return childOf<W>(&cfg, name); }
    QPushButton* btnCfg(int i) { return child<QPushButton>(QStringLiteral("btnCfg(%1)").arg(i)); }
    QCheckBox* chkMode(int m) { return child<QCheckBox>(QStringLiteral("chkMode(%1)").arg(m)); }
    QListWidget* list() { return child<QListWidget>("lstBtns"); }
    QScrollBar* bar() { return child<QScrollBar>("vsbPos"); }
    QComboBox* toolbars() { return child<QComboBox>("cbxTbrs"); }
    // A list's lines as "text", or "text #record button" where the line names one.
    static QStringList rows(const QAbstractItemModel* model)
    {
        QStringList out;
        for (int i = 0; i < model->rowCount(); ++i) {
            const QModelIndex line = model->index(i, 0);
            const QVariant k = line.data(Qt::UserRole);
            out << line.data().toString() + (k.isValid() ? " #" + k.toString() : QString());
        }
        return out;
    }
    QStringList lines() { return rows(list()->model()); }
    // The mode boxes' ticks, as "010011".
    QString ticks()
    {
        QString out;
        for (int m = 0; m < ModeCount; ++m)
            out += chkMode(m)->isChecked() ? '1' : '0';
        return out;
    }

    enum { Apply, Fail, Refuse } apply{Apply};
    Calls calls;
    int pictures{0};
    const QPixmap picture = QPixmap::fromImage(builtinFilePicture());
    TempDir folder;
    ToolbarSet set;
    ConfigWindow cfg{set, *this};
};

TEST_F(ConfigWindowTest, EachToolbarShowsItsOwnButtonsModesPictureAndCommands)
{
    // Before any showing nothing is made, whatever the program calls; a choice is kept.
    cfg.setModeCheck(Vertical, true);
    cfg.refreshButtonList(1);
    cfg.refreshHandlePicture(1);
    cfg.selectToolbar(1);
    EXPECT_TRUE(cfg.findChildren<QWidget*>().isEmpty());
    EXPECT_EQ(pictures, 0);

    // Each toolbar as chosen by the program or, for toolbar 3, by the user in the list.
    const QString separator(11, QChar(0x2014));
    const struct {
        int t;
        std::function<void()> choose;
        QStringList lines;
        const char* ticks;
        int lastPosition;
    } cases[] = {
        {1, [&] { cfg.show(); }, {"Editor #1", "Shell #2"}, "100000", 1}, // the choice made before
        {3, [&] { QTest::keyClick(toolbars(), Qt::Key_Down); QTest::keyClick(toolbars(), Qt::Key_Down); },
         {"Alpha #1", separator + " #2", "Delta #4", "Echo #5"}, "001101", 4},
        {2, [&] { cfg.showToolbar(2); }, {}, "000000", 4},
        // A button without a name shows on its toolbar, so it has a line too, under its
        // target's file name.
        {0, [&] { cfg.showToolbar(0); }, {"unnamed.sh #1", "share #2", "Named #3", "/ #4"}, "000000", 3},
        // Shown again after a change, as it is now (a flag of 1 is on just as -1 is).
        {1, [&] { set.Tbrs[1].Captions = 1; fill(1, {{"Third", "/bin/third"}}); cfg.showToolbar(1); },
         {"Editor #1", "Shell #2", "Third #3"}, "110000", 2},
        // A toolbar whose file was never read has it read for its list.
        {2, [&] { writeBytes(set.Tbrs[2].Path = folder.file("l.vtb"), std::string(msg::VtbHeader) + "\r\nLater;/l;;1;;0;\r\n");
                  set.Tbrs[2].BtnsRead = false, cfg.showToolbar(2); }, {"Later #1"}, "000000", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.t);
        c.choose();
        EXPECT_TRUE(cfg.shows(std::uint8_t(c.t)));
        EXPECT_EQ(rows(toolbars()->model()), QStringList({"Default", "Tools", "Empty", "Mixed"}));
        EXPECT_EQ(std::pair(lines(), ticks()), std::pair(c.lines, QString(c.ticks)));
        EXPECT_EQ(child<QLabel>("imgTBR")->pixmap().toImage(), (c.t == 1 ? picture : builtinClawsPicture(cfg.devicePixelRatioF(), clawsInk(cfg.palette()))).toImage());
        const bool any = !c.lines.isEmpty();
        EXPECT_EQ(std::pair(cfg.selectedButton(), bar()->maximum()), std::pair(any ? std::optional(1) : std::nullopt, c.lastPosition));
        // Edit, Del and the bar need a button; toolbar 0 can neither be deleted nor hidden.
        EXPECT_EQ(std::tuple(btnCfg(2)->isEnabled(), btnCfg(3)->isEnabled(), bar()->isEnabled(), btnCfg(5)->isEnabled(),
                             chkMode(Visible)->isEnabled()),
                  std::tuple(any, any, any, c.t != 0, c.t != 0));
    }
    EXPECT_TRUE(calls.empty());
}

TEST_F(ConfigWindowTest, ModeBoxAppliesOnceForAnyChangeButTheProgramsOwnAndAlwaysShowsTheFlag)
{
    cfg.showToolbar(3); // modes "001101"
    // Voice control and switch access tick a box through its toggle action, which
    // raises no click.
    const auto toggleAction = [&](int m) {
        QAccessible::queryAccessibleInterface(chkMode(m))->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
    };
    const auto click = [&](int m) { QTest::mouseClick(chkMode(m), Qt::LeftButton); };
    const auto space = [&](int m) { QTest::keyClick(chkMode(m), Qt::Key_Space); };
    // Applied, then failed halfway or refused: every box still shows its flag.
    const struct {
        std::function<void(int)> change;
        int m;
        decltype(apply) result;
        const char* ticks;
    } steps[] = {
        {click, AutoHide, Apply, "001111"},  {space, Captions, Apply, "011111"},
        {toggleAction, Vertical, Apply, "111111"}, {toggleAction, Vertical, Fail, "011111"},
        {click, AlwaysOnTop, Refuse, "011111"}, {toggleAction, AlwaysOnTop, Refuse, "011111"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.ticks);
        calls.clear();
        apply = step.result;
        step.change(step.m);
        EXPECT_EQ(calls, Calls({"applyMode 3 " + std::to_string(step.m)}));
        EXPECT_EQ(ticks(), step.ticks);
    }
}

TEST_F(ConfigWindowTest, CommandsReachTheProgramWithTheChosenToolbarAndSelectedButton)
{
    cfg.showToolbar(3);
    list()->setCurrentRow(2); // "Delta", record button 4
    for (int i : {1, 2, 3, 4, 5, 6})
        btnCfg(i)->click();
    // A double click is a press, a release and the second press, on one line.
    const QPoint echo = list()->visualItemRect(list()->item(3)).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, echo);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, echo);
    // A line the user deselected is no button to delete.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, echo);
    btnCfg(3)->click();
    EXPECT_EQ(calls, Calls({"addButton 3", "editButton 3 4", "deleteButton 3 4", "addToolbar", "deleteToolbar 3",
                            "editToolbar 3", "editButton 3 5"}));
    // Toolbar 0 is never deleted, even by a press that gets past its disabled button.
    cfg.showToolbar(0);
    calls.clear();
    emit btnCfg(5)->clicked();
    EXPECT_TRUE(calls.empty());
}

TEST_F(ConfigWindowTest, OnlyTheUsersStepOfThePositionBarExchangesAndAHeldArrowStepsOnce)
{
    cfg.showToolbar(3);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cfg));
    list()->setCurrentRow(1); // the separator, record button 2; record 3 has no line
    // The down arrow is the bar's lower half, held well past where a scroll bar repeats.
    const QPoint downArrow(bar()->width() / 2, bar()->height() * 3 / 4);
    QTest::mousePress(bar(), Qt::LeftButton, {}, downArrow);
    QTest::qWait(800);
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, downArrow);
    EXPECT_EQ(calls, Calls({"exchangeButtons 3 4 2"}));
}

TEST_F(ConfigWindowTest, FirstShowingIsCentredEveryControlHeardAndOkPutsItAwayWhereItStays)
{
    cfg.showToolbar(1);
    expectFixedWindow(cfg, Qt::Dialog, true);
    EXPECT_EQ(unnamedControls(cfg), QStringList()); // each named for a screen reader
    EXPECT_LE((cfg.frameGeometry().center() - cfg.screen()->availableGeometry().center()).manhattanLength(), 1);
    cfg.move(cfg.pos() + QPoint(40, 30));
    const QPoint moved = cfg.pos();
    btnCfg(0)->click();
    EXPECT_FALSE(cfg.isVisible());
    cfg.showToolbar(2);
    EXPECT_EQ(cfg.pos(), moved);
}

} // namespace
