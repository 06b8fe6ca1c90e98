#pragma once

#include <QString>

#include <optional>

class DialogBackend;
class QWidget;

// Chooses one icon out of a file for an editor's icon fields. The editors only know
// this interface, so a picker that shows the file's icons can take the place of the
// plain file browse below without the editors changing.
class IconPicker {
public:
    struct Icon {
        QString file;
        int index{1}; // 1-based, as the editors show it
    };

    virtual ~IconPicker() = default;
    // file and index: what the editor's fields hold now (index 0: none). Nothing after
    // a cancel.
    virtual std::optional<Icon> pick(QWidget* owner, const QString& file, int index) = 0;
};

// Picks the file through the open dialog and keeps the index the fields give, or the
// file's first icon when they give none.
class FileIconPicker final : public IconPicker {
public:
    explicit FileIconPicker(DialogBackend& dialogs);
    std::optional<Icon> pick(QWidget* owner, const QString& file, int index) override;

private:
    DialogBackend& m_dialogs;
};
