#pragma once

#include "editors/ToolbarFields.h"
#include "platform/Services.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class IconPicker;
class QLineEdit;
class QPushButton;
class QToolButton;
struct ToolbarSet;

// The dialog in which a toolbar is added to the set, or an existing toolbar gets a new
// name and icon. It keeps nothing beyond its fields: on OK it checks them against the
// set, says why when they cannot be taken (and stays open to have them mended), and
// otherwise hands them over with confirmed() and closes. Whoever opened it carries the
// change out.
//
// Adding, the fields start empty and the toolbar file may be chosen: an existing file
// gives the new toolbar its buttons. Editing, they start from the toolbar's record and
// its file cannot change: the path is read-only and its browse button disabled.
class ToolbarEditor : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    // Edit: the fields are filled from toolbar t of the set. dataFolder is where a new
    // toolbar's file goes when no path is typed.
    ToolbarEditor(Mode mode, const ToolbarSet& set, std::uint8_t t, std::string dataFolder, Services services,
                  QWidget* parent = nullptr);
    ~ToolbarEditor() override;

    Mode mode() const { return m_mode; }
    // The toolbar being edited (0 when adding).
    std::uint8_t toolbar() const { return m_toolbar; }
    // The picker the icon button opens; by default one of its own.
    void setIconPicker(IconPicker& picker) { m_picker = &picker; }

    // The fields as OK would hand them over.
    ToolbarFields fields() const;

signals:
    void confirmed(const ToolbarFields& fields);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The text boxes, numbered as their names are ("txtNAME(1)" is the path).
    enum Field : std::uint8_t { Name = 0, Path, IconFile, IconIndex, FieldCount };

    void buildControls();
    void browseToolbarFile();
    void pickIcon();
    void okClicked();

    Mode m_mode;
    const ToolbarSet& m_set;
    std::uint8_t m_toolbar;
    std::string m_dataFolder;
    Services m_services;
    std::unique_ptr<IconPicker> m_ownPicker;
    IconPicker* m_picker{nullptr};

    std::array<QLineEdit*, FieldCount> m_fields{};
    QToolButton* m_browsePath{nullptr};
    QToolButton* m_browseIcon{nullptr};
    QPushButton* m_ok{nullptr};
    QPushButton* m_cancel{nullptr};
};
