#pragma once

#include "editors/IconPicker.h"

class DialogBackend;

// Chooses an icon file through the common open dialog. The icon is the one at the
// position asked for when the same file is chosen again, the file's first otherwise.
class FileIconPicker final : public IconPicker {
public:
    explicit FileIconPicker(DialogBackend& dialogs)
        : m_dialogs(dialogs)
    {
    }
    std::optional<IconChoice> pick(QWidget* parent, const QString& file, int position) override;

private:
    DialogBackend& m_dialogs;
};
