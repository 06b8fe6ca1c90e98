#pragma once

#include "editors/ToolbarEditorHost.h"
#include "editors/ToolbarFields.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class DialogBackend;
class IconPicker;
class Prompter;
class QLineEdit;
class QPushButton;
class QToolButton;
struct ToolbarSet;

// The dialog in which a toolbar is added to the set, or an existing toolbar gets a new
// name and icon. It keeps nothing beyond its fields: on OK it checks them against the
// set, says why when they cannot be taken (and stays open to have them mended), and
// otherwise hands them to its host and closes. The host carries the change out.
//
// Adding, the fields start empty and the toolbar file may be chosen: an existing file
// gives the new toolbar its buttons. Editing, they start from the toolbar's record and
// its file cannot change: the path is read-only and its browse button disabled.
class ToolbarEditor : public QDialog {
    Q_OBJECT
public:
    // What the editor asks of the program besides its host: the set to check the fields
    // against, messages, the icon picker, the common dialogs to browse for the toolbar's
    // file, and the data folder, where a new toolbar's file goes when no path is typed.
    struct Needs {
        const ToolbarSet& set;
        ToolbarEditorHost& host;
        Prompter& prompter;
        IconPicker& icons;
        DialogBackend& dialogs;
        std::string dataFolder;
    };

    // Edit: the fields are filled from toolbar t of the set.
    ToolbarEditor(ToolbarPurpose purpose, std::uint8_t t, Needs needs, QWidget* parent = nullptr);
    ~ToolbarEditor() override;

    ToolbarPurpose purpose() const { return m_purpose; }
    // The toolbar being edited (0 when adding).
    std::uint8_t toolbar() const { return m_toolbar; }

    // The fields as OK would hand them over.
    ToolbarFields fields() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The text boxes, numbered as their names are ("txtNAME(1)" is the path).
    enum Field : std::uint8_t { Name = 0, Path, IconFile, IconIndex, FieldCount };

    void buildControls();
    void makeFields();
    void makeBrowseButtons();
    void layOut();
    void fillFromRecord();
    void browseToolbarFile();
    void pickIcon();
    void okClicked();

    ToolbarPurpose m_purpose;
    std::uint8_t m_toolbar;
    Needs m_needs;

    std::array<QLineEdit*, FieldCount> m_fields{};
    QToolButton* m_browsePath{nullptr};
    QToolButton* m_browseIcon{nullptr};
    QPushButton* m_ok{nullptr};
    QPushButton* m_cancel{nullptr};
};
