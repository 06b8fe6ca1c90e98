#pragma once

#include "editors/IconPicker.h"

#include "platform/OwnedWindow.h"

class DialogBackend;
class IconPickerDialog;
class IconSource;

// The icon picker both editors share: one picker window, made on first use and hidden
// between uses, so each opening starts where the last one ended. It opens modal over the
// editor that asks, and lives on after that editor is gone.
class DialogIconPicker final : public IconPicker {
public:
    DialogIconPicker(IconSource& icons, DialogBackend& dialogs);
    ~DialogIconPicker() override;

    bool pick(QWidget* parent, const IconPreset& preset, Done done) override;

    // The window, once made (tests drive it).
    IconPickerDialog* window() const;

private:
    void finished(int result);

    IconSource& m_icons;
    DialogBackend& m_dialogs;
    // Tracked, not owned outright: while open it belongs to the editor it is modal over,
    // and goes with that editor should the editor go first.
    OwnedWindow<IconPickerDialog> m_window;
    Done m_done;
};
