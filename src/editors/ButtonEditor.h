#pragma once

#include "editors/ButtonEditorHost.h"
#include "editors/ButtonFields.h"

#include <QDialog>

#include <array>

class ApplicationChooser;
class DialogBackend;
class IconPicker;
class Prompter;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
struct ToolbarSet;

// The button editor: one button's name, target, parameters and icon, or the choice that
// it is a separator. It fills in what it can (a name from the target's file name, a
// program's own icon, a whole recall button from the list of toolbars) and hands the
// composed button to its host on OK. It is made afresh for each use and deletes itself
// when closed.
//
// openModal() shows it over its parent (the configuration window) and returns at once:
// the parent takes no input while the editor is open, and nothing waits in a nested loop.
// A drop on a toolbar's handle shows it with show(), leaving every window usable.
class ButtonEditor : public QDialog {
    Q_OBJECT
public:
    // What the editor asks of the program besides its host: the set for the recall list,
    // messages, the icon picker, and the common dialogs to browse for the target.
    struct Needs {
        const ToolbarSet& set;
        ButtonEditorHost& host;
        Prompter& prompter;
        IconPicker& icons;
        DialogBackend& dialogs;
        // The installed applications to take a target from; without it the editor
        // offers none.
        ApplicationChooser* applications{nullptr};
    };

    ButtonEditor(ButtonPurpose purpose, Needs needs, QWidget* parent = nullptr);
    ~ButtonEditor() override;

    ButtonPurpose purpose() const { return m_purpose; }
    // Fills the boxes from an existing button; a separator selects separator mode and
    // leaves them empty.
    void fill(const BtnRec& button);
    // Takes a target as a dropped file is taken: the target box gets path and the boxes
    // left blank are completed from it.
    void takeTarget(const QString& path);
    // The boxes as they stand, and the mode.
    ButtonFields fields() const;
    bool separatorMode() const;

    // Shows the editor window-modal over its parent, without waiting for it to close.
    void openModal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void makeModeRow();
    void makeBoxes();
    void makeChoosers();
    void layOut();
    QGridLayout* layOutBoxes();
    void setTabOrderOfControls();
    void setSeparatorMode(bool on);
    void updateOk();
    void complete(ButtonFields::Field left);
    void setFields(const ButtonFields& f);
    void recallChosen(int position);
    void browseTarget();
    void pickIcon();
    void chooseApplication();
    void chooseFolder();
    void confirm();

    ButtonPurpose m_purpose;
    Needs m_needs;
    std::array<QLineEdit*, ButtonFields::FieldCount> m_boxes{};
    std::array<QRadioButton*, 2> m_modes{};
    QComboBox* m_recall{nullptr};
    QToolButton* m_browseTarget{nullptr};
    QToolButton* m_browseIcon{nullptr};
    QPushButton* m_applications{nullptr};
    QPushButton* m_folder{nullptr};
    QPushButton* m_ok{nullptr};
    QPushButton* m_cancel{nullptr};
    bool m_placed{false};
};
