#include "config/ConfigActions.h"
#include "config/ConfigWindow.h"
#include "store/ToolbarSet.h"
#include "toolbar/BuiltinPictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records every intent; applyMode behaves like the program's as far as the window can
// see (the flag, the check box of the shown toolbar).
class RecordingActions final : public ConfigActions {
public:
    std::vector<std::string> calls;
    ToolbarSet* set{nullptr};
    ConfigWindow* cfg{nullptr};
    bool failApply{false};
    bool refuse{false};
    std::function<QPixmap(std::uint8_t)> picture;

    void applyMode(std::uint8_t t, int m) override
    {
        calls.push_back("applyMode " + std::to_string(t) + " " + std::to_string(m));
        if (refuse)
            return;
        Bool16& f = set->Tbrs[t].mode(m);
        f = toBool16(!isTrue(f));
        if (failApply)
            throw std::runtime_error("window gone");
        if (cfg->shows(t))
            cfg->setModeCheck(m, isTrue(f));
    }
    QPixmap handlePicture(std::uint8_t t) override { return picture ? picture(t) : QPixmap(); }
    void addButton(std::uint8_t t) override { log("addButton", {t}); }
    void editButton(std::uint8_t t, int k) override { log("editButton", {t, k}); }
    void deleteButton(std::uint8_t t, int k) override { log("deleteButton", {t, k}); }
    void addToolbar() override { log("addToolbar", {}); }
    void editToolbar(std::uint8_t t) override { log("editToolbar", {t}); }
    void deleteToolbar(std::uint8_t t) override { log("deleteToolbar", {t}); }
    void exchangeButtons(std::uint8_t t, int a, int b) override { log("exchangeButtons", {t, a, b}); }

private:
    void log(std::string what, std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            what += " " + std::to_string(n);
        calls.push_back(what);
    }
};

BtnRec button(const char* name, const char* exe, std::uint8_t kind = KindFile)
{
    BtnRec b;
    b.Name = name;
    b.Executable = exe;
    b.Kind = kind;
    return b;
}

class ConfigWindowTest : public ::testing::Test {
protected:
    ConfigWindowTest()
    {
        set.RedimTbrs(3);
        set.TbrLast = 3;
        const char* names[] = {"Default", "Tools", "Empty", "Mixed"};
        for (int i = 0; i < 4; ++i)
            set.Tbrs[i].Name = names[i];
        fill(1, {button("Editor", "/usr/bin/editor"), button("Shell", "/usr/bin/xterm")});
        set.Tbrs[1].Vertical = True16;
        fill(3, {button("Alpha", "/bin/alpha"), button("", "", KindSeparator), button("Blank", "   "),
                 button("Delta", " /bin/delta "), button("Echo", "/bin/echo")});
        set.Tbrs[3].AlwaysOnTop = set.Tbrs[3].Visible = set.Tbrs[3].Unmoveable = True16;

        actions.set = &set;
        actions.cfg = &cfg;
        cfg.refreshToolbarList();
    }

    void fill(int t, std::initializer_list<BtnRec> buttons)
    {
        for (const BtnRec& b : buttons)
            set.Tbrs[t].Btns[++set.Tbrs[t].BtnCount] = b;
    }
    template <typename W>
    W* child(const char* name)
    {
        W* w = cfg.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* btnCfg(int i) { return child<QPushButton>(QStringLiteral("btnCfg(%1)").arg(i).toLatin1()); }
    QCheckBox* chkMode(int i) { return child<QCheckBox>(QStringLiteral("chkMode(%1)").arg(i).toLatin1()); }
    QListWidget* lstBtns() { return child<QListWidget>("lstBtns"); }

    // The button list as "text #record button".
    QStringList lines()
    {
        QStringList out;
        for (int i = 0; i < lstBtns()->count(); ++i)
            out << lstBtns()->item(i)->text() + " #" + lstBtns()->item(i)->data(Qt::UserRole).toString();
        return out;
    }

    ToolbarSet set;
    RecordingActions actions;
    ConfigWindow cfg{set, actions};
};

TEST(VersionText, MinorHasTwoDigitsAndRevisionFour)
{
    EXPECT_EQ(VersionText(2, 0, 3), "v2.00.0003");
    EXPECT_EQ(VersionText(2, 12, 45), "v2.12.0045");
}

TEST_F(ConfigWindowTest, NeverShownItHasNoControlsYetAndFillsThemWhenFirstShown)
{
    int pictures = 0;
    actions.picture = [&](std::uint8_t) {
        ++pictures;
        return QPixmap();
    };

    // What the program calls at start-up and on mode changes finds nothing to fill.
    cfg.refreshToolbarList();
    cfg.setModeCheck(Vertical, true);
    cfg.refreshModeChecks(1);
    cfg.refreshButtonList(1);
    cfg.refreshPositionBar(1);
    cfg.refreshHandlePicture(1);
    EXPECT_FALSE(cfg.shows(0));
    EXPECT_EQ(cfg.chosenToolbar(), std::nullopt);
    EXPECT_EQ(cfg.selectedButton(), std::nullopt);
    EXPECT_EQ(pictures, 0);
    EXPECT_TRUE(cfg.findChildren<QWidget*>().isEmpty());

    // The first showing fills everything from the set as it is then.
    set.Tbrs[2].Name = "Renamed";
    set.Tbrs[3].Captions = True16;
    cfg.refreshToolbarList();
    cfg.showToolbar(3);
    EXPECT_TRUE(cfg.shows(3));
    EXPECT_EQ(pictures, 1);
    auto* combo = child<QComboBox>("cbxTbrs");
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    EXPECT_EQ(names, QStringList({"Default", "Tools", "Renamed", "Mixed"}));
    const bool flags[] = {false, true, true, true, false, true};
    for (int m = 0; m < 6; ++m)
        EXPECT_EQ(chkMode(m)->isChecked(), flags[m]) << m;
    EXPECT_EQ(lines().size(), 4);
    EXPECT_EQ(cfg.selectedButton(), 1);
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(ConfigWindowTest, AnyFirstShowingMakesTheControlsAndTakesAnEarlierChoice)
{
    cfg.selectToolbar(9); // no such toolbar
    EXPECT_EQ(cfg.chosenToolbar(), std::nullopt);
    cfg.selectToolbar(1);
    EXPECT_EQ(cfg.chosenToolbar(), 1);
    EXPECT_FALSE(cfg.shows(1));
    EXPECT_TRUE(cfg.findChildren<QWidget*>().isEmpty());
    cfg.show();
    EXPECT_TRUE(cfg.shows(1));
    EXPECT_EQ(lines(), QStringList({"Editor #1", "Shell #2"}));
    EXPECT_TRUE(chkMode(Vertical)->isChecked());

    // Shown without any choice, the list is there and nothing is chosen.
    ConfigWindow plain(set, actions);
    plain.show();
    auto* combo = plain.findChild<QComboBox*>("cbxTbrs");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(plain.chosenToolbar(), std::nullopt);
}

TEST_F(ConfigWindowTest, ShowToolbarShowsTheCallersToolbarAsItIsNow)
{
    cfg.showToolbar(1);
    cfg.showToolbar(3);
    EXPECT_TRUE(cfg.isVisible());
    EXPECT_EQ(child<QComboBox>("cbxTbrs")->currentIndex(), 3);
    const bool flags[] = {false, false, true, true, false, true};
    for (int m = 0; m < 6; ++m)
        EXPECT_EQ(chkMode(m)->isChecked(), flags[m]) << m;
    EXPECT_TRUE(cfg.shows(3));
    EXPECT_FALSE(cfg.shows(1));
    // Changed since it was last shown; a flag of 1 is on just as -1 is.
    set.Tbrs[1].Captions = 1;
    set.Tbrs[1].Btns[3] = button("Third", "/bin/third");
    set.Tbrs[1].BtnCount = 3;
    cfg.showToolbar(1);
    EXPECT_TRUE(chkMode(Captions)->isChecked());
    EXPECT_EQ(lines(), QStringList({"Editor #1", "Shell #2", "Third #3"}));
    EXPECT_EQ(child<QScrollBar>("vsbPos")->maximum(), 2);
}

TEST_F(ConfigWindowTest, ToolbarZeroCanNeitherBeDeletedNorHidden)
{
    for (int t : {3, 0}) {
        cfg.showToolbar(std::uint8_t(t));
        EXPECT_EQ(btnCfg(5)->isEnabled(), t != 0);
        EXPECT_EQ(chkMode(Visible)->isEnabled(), t != 0);
    }
}

TEST_F(ConfigWindowTest, ButtonListSkipsBlankTargetsKeepsRecordNumbersAndDisablesWhenEmpty)
{
    cfg.showToolbar(3);
    EXPECT_EQ(lines(), QStringList({"Alpha #1", QString(11, QChar(0x2014)) + " #2", "Delta #4", "Echo #5"}));
    EXPECT_EQ(cfg.selectedButton(), 1);
    EXPECT_EQ(child<QScrollBar>("vsbPos")->maximum(), 4);
    for (int t : {3, 2}) {
        cfg.showToolbar(std::uint8_t(t));
        const QWidget* needSelection[] = {btnCfg(2), btnCfg(3), child<QScrollBar>("vsbPos")};
        for (const QWidget* w : needSelection)
            EXPECT_EQ(w->isEnabled(), t == 3) << t;
    }
    EXPECT_EQ(cfg.selectedButton(), std::nullopt);
}

TEST_F(ConfigWindowTest, UserClickTogglesTheModeOnceAndProgramChangesToggleNothing)
{
    cfg.showToolbar(1);
    QTest::mouseClick(chkMode(AutoHide), Qt::LeftButton);
    EXPECT_EQ(actions.calls, std::vector<std::string>({"applyMode 1 4"}));
    EXPECT_EQ(set.Tbrs[1].AutoHide, True16);
    EXPECT_TRUE(chkMode(AutoHide)->isChecked());

    actions.calls.clear();
    cfg.setModeCheck(Captions, true);
    chkMode(Vertical)->setChecked(false);
    chkMode(Unmoveable)->toggle();
    cfg.refreshModeChecks(3);
    cfg.showToolbar(1);
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(ConfigWindowTest, FailedOrRefusedToggleLeavesTheBoxShowingTheFlagAndUsable)
{
    // Refused: the program ignores a click that arrives while it is still applying a mode.
    cfg.showToolbar(3);
    actions.failApply = true;
    QTest::mouseClick(chkMode(Vertical), Qt::LeftButton);
    EXPECT_EQ(chkMode(Vertical)->isChecked(), isTrue(set.Tbrs[3].Vertical));
    actions.failApply = false;
    actions.refuse = true;
    QTest::mouseClick(chkMode(AlwaysOnTop), Qt::LeftButton);
    EXPECT_TRUE(chkMode(AlwaysOnTop)->isChecked());
    actions.refuse = false;
    QTest::mouseClick(chkMode(Vertical), Qt::LeftButton);
    EXPECT_EQ(actions.calls, std::vector<std::string>({"applyMode 3 0", "applyMode 3 2", "applyMode 3 0"}));
}

TEST_F(ConfigWindowTest, CommandsReachTheProgramWithTheChosenToolbarAndSelectedButton)
{
    cfg.showToolbar(3);
    lstBtns()->setCurrentRow(2); // "Delta", record button 4
    for (int i : {1, 2, 3, 4, 5, 6})
        btnCfg(i)->click();
    // A double click is a press, a release and the second press, on one line.
    const QPoint echo = lstBtns()->visualItemRect(lstBtns()->item(3)).center();
    QTest::mouseClick(lstBtns()->viewport(), Qt::LeftButton, {}, echo);
    QTest::mouseDClick(lstBtns()->viewport(), Qt::LeftButton, {}, echo);
    EXPECT_EQ(actions.calls, std::vector<std::string>({"addButton 3", "editButton 3 4",
                                                       "deleteButton 3 4", "addToolbar",
                                                       "deleteToolbar 3", "editToolbar 3",
                                                       "editButton 3 5"}));
}

TEST_F(ConfigWindowTest, ChoosingAToolbarInTheListSwitchesEverything)
{
    cfg.showToolbar(1);
    auto* combo = child<QComboBox>("cbxTbrs");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down); // to toolbar 2
    QTest::keyClick(combo, Qt::Key_Down); // to toolbar 3
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(lines().size(), 4);
    EXPECT_TRUE(chkMode(Unmoveable)->isChecked());
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(ConfigWindowTest, PositionBarStepAsksForAnExchangeButListSelectionDoesNot)
{
    cfg.showToolbar(3);
    lstBtns()->setFocus();
    lstBtns()->setCurrentRow(1); // the separator, record button 2
    auto* bar = child<QScrollBar>("vsbPos");
    EXPECT_EQ(bar->value(), 1);
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_EQ(cfg.focusWidget(), lstBtns()); // selecting a line leaves the keyboard there

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(actions.calls, std::vector<std::string>({"exchangeButtons 3 4 2"}));
    EXPECT_EQ(lstBtns()->currentRow(), 2);
    EXPECT_EQ(bar->value(), 2);
    // The keyboard is on the bar after a step, and its arrow keys step on from there.
    EXPECT_EQ(cfg.focusWidget(), bar);
    QTest::keyClick(bar, Qt::Key_Down);
    EXPECT_EQ(actions.calls.back(), "exchangeButtons 3 5 4");

    // The first line cannot go further up.
    actions.calls.clear();
    lstBtns()->setCurrentRow(0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(ConfigWindowTest, HeldDownArrowOfThePositionBarMovesOnePlaceOnly)
{
    cfg.showToolbar(3);
    lstBtns()->setCurrentRow(1);
    auto* bar = child<QScrollBar>("vsbPos");
    // The down arrow is the bar's lower half. Held well past the point where a scroll
    // bar starts repeating, it still makes one step.
    const QPoint downArrow(bar->width() / 2, bar->height() * 3 / 4);
    QTest::mousePress(bar, Qt::LeftButton, {}, downArrow);
    QTest::qWait(800);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, downArrow);
    EXPECT_EQ(actions.calls, std::vector<std::string>({"exchangeButtons 3 4 2"}));
    EXPECT_EQ(bar->value(), 2);
}

TEST_F(ConfigWindowTest, ClosingOnlyHidesAndKeepsTheState)
{
    cfg.showToolbar(3);
    cfg.close();
    EXPECT_FALSE(cfg.isVisible());
    cfg.showToolbar(3);
    EXPECT_EQ(lines().size(), 4);
    btnCfg(0)->click();
    EXPECT_FALSE(cfg.isVisible());
    cfg.showToolbar(1);
    QTest::keyClick(&cfg, Qt::Key_Escape);
    EXPECT_FALSE(cfg.isVisible());
    EXPECT_EQ(cfg.chosenToolbar(), 1);
}

TEST_F(ConfigWindowTest, HandlePictureIsTheToolbarWindowsOrTheClaws)
{
    QPixmap red(16, 16);
    red.fill(QColor(255, 0, 0));
    actions.picture = [&](std::uint8_t t) { return t == 1 ? red : QPixmap(); };
    cfg.showToolbar(1);
    EXPECT_EQ(child<QLabel>("imgTBR")->pixmap().toImage().pixelColor(8, 8), QColor(255, 0, 0));
    cfg.showToolbar(2);
    EXPECT_EQ(child<QLabel>("imgTBR")->pixmap().toImage(), builtinClawsPicture().toImage());
}

// Where a widget lies in its window.
QRect inWindow(const QWidget* w)
{
    return QRect(w->mapTo(w->window(), QPoint()), w->size());
}

// Sets the application's font larger for as long as it lives; widgets made meanwhile
// take it.
class LargerAppFont {
public:
    explicit LargerAppFont(qreal factor)
    {
        QFont f = m_saved;
        f.setPointSizeF(m_saved.pointSizeF() * factor);
        QApplication::setFont(f);
    }
    ~LargerAppFont() { QApplication::setFont(m_saved); }

private:
    QFont m_saved{QApplication::font()};
};

TEST_F(ConfigWindowTest, EveryCaptionShowsWholeAndEveryFrameHoldsItsControlsAtAnyFontSize)
{
    // Each frame and the controls it groups.
    const std::vector<std::pair<QString, QStringList>> frames = {
        {"corA(2)", {"imgTBR", "cbxTbrs", "btnCfg(4)", "btnCfg(6)", "btnCfg(5)"}},
        {"corA(1)", {"btnCfg(1)", "btnCfg(2)", "btnCfg(3)"}},
        {"corA(3)", {"vsbPos"}},
        {"corA(0)", {"chkMode(0)", "chkMode(1)", "chkMode(2)", "chkMode(3)", "chkMode(4)", "chkMode(5)"}},
        {"corA(4)", {"btnCfg(0)"}},
    };
    // The pieces side by side in the window, none over another.
    const QStringList pieces = {"picSideBar", "corA(2)", "lstBtns", "corA(1)", "corA(3)",
                                "corA(0)",    "corBEVEL", "lblVER", "corA(4)"};

    for (const qreal factor : {1.0, 2.0}) {
        SCOPED_TRACE(factor);
        const LargerAppFont font(factor);
        ConfigWindow window(set, actions);
        window.showToolbar(3);
        const auto find = [&](const QString& name) {
            QWidget* w = window.findChild<QWidget*>(name);
            EXPECT_NE(w, nullptr) << name.toStdString();
            return w;
        };

        // Whole: as large as the control asks to be (a group box asks room for its title).
        for (QWidget* w : window.findChildren<QWidget*>()) {
            QSize needed;
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) || qobject_cast<QComboBox*>(w))
                needed = w->sizeHint();
            else if (auto* box = qobject_cast<QGroupBox*>(w); box && !box->title().isEmpty())
                needed = box->minimumSizeHint();
            if (needed.isValid()) {
                EXPECT_TRUE(w->width() >= needed.width() && w->height() >= needed.height())
                    << w->objectName().toStdString() << " is " << w->width() << "x" << w->height()
                    << ", needs " << needed.width() << "x" << needed.height();
            }
        }

        for (const auto& [frameName, controls] : frames) {
            const QWidget* frame = find(frameName);
            // Inside the frame's border and clear of its title.
            const QRect inside = frame->contentsRect().translated(inWindow(frame).topLeft());
            for (int i = 0; i < controls.size(); ++i) {
                const QRect r = inWindow(find(controls[i]));
                EXPECT_TRUE(inside.contains(r)) << controls[i].toStdString() << " is not inside " << frameName.toStdString();
                for (int j = 0; j < i; ++j)
                    EXPECT_FALSE(r.intersects(inWindow(find(controls[j]))))
                        << controls[i].toStdString() << " overlaps " << controls[j].toStdString();
            }
        }

        for (int i = 0; i < pieces.size(); ++i) {
            const QRect r = inWindow(find(pieces[i]));
            EXPECT_TRUE(window.rect().contains(r)) << pieces[i].toStdString() << " runs past the window's edge";
            for (int j = 0; j < i; ++j)
                EXPECT_FALSE(r.intersects(inWindow(find(pieces[j]))))
                    << pieces[i].toStdString() << " overlaps " << pieces[j].toStdString();
        }

        // The side bar runs down the whole left edge; the window cannot be resized.
        EXPECT_EQ(inWindow(find("picSideBar")), QRect(0, 0, find("picSideBar")->width(), window.height()));
        EXPECT_EQ(window.minimumSize(), window.size());
        EXPECT_EQ(window.maximumSize(), window.size());
    }
}

TEST_F(ConfigWindowTest, TabGoesFromTheToolbarListThroughTheButtonsAndModesToOk)
{
    cfg.showToolbar(3);
    const QStringList order = {"cbxTbrs",    "btnCfg(4)",  "btnCfg(6)",  "btnCfg(5)",  "lstBtns",
                               "btnCfg(1)",  "btnCfg(2)",  "btnCfg(3)",  "vsbPos",     "chkMode(0)",
                               "chkMode(1)", "chkMode(2)", "chkMode(3)", "chkMode(4)", "chkMode(5)",
                               "btnCfg(0)"};
    QStringList seen;
    QWidget* w = child<QWidget>("cbxTbrs");
    do {
        if (order.contains(w->objectName()))
            seen << w->objectName();
        w = w->nextInFocusChain();
    } while (w && seen.size() < order.size() && w->objectName() != "cbxTbrs");
    EXPECT_EQ(seen, order);
}

TEST_F(ConfigWindowTest, FirstShowingIsCentredOnItsScreenLaterOnesKeepThePlace)
{
    cfg.showToolbar(1);
    const QRect screen = cfg.screen()->availableGeometry();
    EXPECT_LE((cfg.frameGeometry().center() - screen.center()).manhattanLength(), 1);
    cfg.hide();
    cfg.move(cfg.pos() + QPoint(40, 30));
    const QPoint moved = cfg.pos();
    cfg.showToolbar(2);
    EXPECT_EQ(cfg.pos(), moved);
}

} // namespace
