#pragma once

#include "store/TbrRec.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class ButtonList;
class ConfigActions;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class PositionBar;
struct ToolbarSet;

// "v2.00.0003": major as is, minor in two digits, revision in four.
QString versionText(int major, int minor, int revision);

// The configuration window: one for the whole run, made hidden at start-up, shown on a
// toolbar by showToolbar() and only ever hidden by the user. It reads the set for names,
// buttons and modes each time it shows them and keeps no copy; every change goes
// through ConfigActions.
//
// The controls are made on the first showing: measuring the first caption loads the
// whole font database, which a start-up showing only toolbars without text never needs.
// Until then the calls that fill or tick controls do nothing, since the controls are
// filled from the set when they are made.
//
// The program's own changes of the controls raise none of the user's handlers: they run
// under signal blockers, so every other change of a mode box, the lists or the position
// bar is the user's, whether by mouse, key or an assistive tool.
class ConfigWindow : public QDialog {
    Q_OBJECT
public:
    ConfigWindow(ToolbarSet& set, ConfigActions& actions, QWidget* parent = nullptr);
    ~ConfigWindow() override;

    // Brings the window to toolbar t and shows it (to the front when already shown).
    void showToolbar(std::uint8_t t);
    // Refills the toolbar list with the names of toolbars 0..TbrLast, keeping the chosen
    // position when it still exists. Raises nothing.
    void refreshToolbarList();
    // Chooses toolbar t as if the user had picked it in the list; before the controls
    // exist, t is remembered and chosen when they are made.
    void selectToolbar(std::uint8_t t);
    // Lists toolbar t's buttons and selects the first line.
    void refreshButtonList(std::uint8_t t);
    // Ticks the mode boxes after toolbar t's flags.
    void refreshModeChecks(std::uint8_t t);
    // Gives the position bar toolbar t's range, or disables it when t has no buttons.
    void refreshPositionBar(std::uint8_t t);
    // Shows toolbar t's handle picture (after its icon changed).
    void refreshHandlePicture(std::uint8_t t);
    // Selects the line of record button k of the listed toolbar, as a click on it would;
    // false when k has no line.
    bool selectButton(int k);

    // The chosen toolbar and the record button of the selected line, when there are
    // (none before the first showing unless selectToolbar chose one).
    std::optional<std::uint8_t> chosenToolbar() const;
    std::optional<int> selectedButton() const;
    // True when the window is visible and shows toolbar t.
    bool shows(std::uint8_t t) const;
    // Ticks or unticks mode box m without raising its click.
    void setModeCheck(int m, bool on);

    // Escape puts the window away like its close button.
    void reject() override;
    // Makes the controls before the window first shows.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The command buttons, numbered as their names are ("btnCfg(4)" adds a toolbar).
    enum Command : std::uint8_t {
        Ok = 0,
        AddButton,
        EditButton,
        DeleteButton,
        AddToolbar,
        DeleteToolbar,
        EditToolbar,
        CommandCount
    };

    bool built() const { return m_toolbarList != nullptr; }
    bool hasToolbar(std::uint8_t t) const;

    // Making the controls, frame by frame.
    void ensureControls();
    // The frames laid out around the button list.
    struct Frames {
        QWidget* toolbar{};
        QWidget* buttons{};
        QWidget* position{};
        QWidget* modes{};
        QWidget* ok{};
    };
    void buildControls();
    QWidget* buildToolbarRow();
    void buildButtonList();
    QWidget* buildButtonCommands();
    QWidget* buildPositionBar();
    QWidget* buildModes();
    QWidget* buildFoot();
    void layOut(const Frames& frames);
    void setTabOrderOfControls();
    void connectControls();
    QPushButton* makeCommand(Command c, const QString& caption, QWidget* parent);

    // Showing the set in the controls, raising none of the user's handlers.
    void toolbarChosen(std::uint8_t t);
    void setPositionQuietly(int value);
    void refreshButtonCommands();

    // What the user does in the controls; every change goes through ConfigActions.
    void modeToggled(int m);
    void commandClicked(Command c);
    void lineSelected(int row);
    void lineDoubleClicked();
    void positionStepped(int value);
    void lineDragged(int from, int to);

    ToolbarSet& m_set;
    ConfigActions& m_actions;

    bool m_placed{false};
    // The choice selectToolbar made before the controls existed.
    std::optional<std::uint8_t> m_pendingToolbar;
    // The position bar's value before the user's step: the line the moved button is on.
    int m_lastPosition{0};

    QLabel* m_handlePicture{nullptr};
    QComboBox* m_toolbarList{nullptr};
    ButtonList* m_buttonList{nullptr};
    PositionBar* m_positionBar{nullptr};
    QLabel* m_version{nullptr};
    std::array<QPushButton*, CommandCount> m_commands{};
    std::array<QCheckBox*, ModeCount> m_modeChecks{};
};
