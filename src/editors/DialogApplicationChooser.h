#pragma once

#include "editors/ApplicationChooser.h"

#include "platform/OwnedWindow.h"

class ApplicationChooserDialog;
class IconSource;

// The application chooser of the whole program: one window, made on first use and
// hidden between uses, so the list and its icons are there at once the next time. It
// opens modal over the editor that asks, and lives on after that editor is gone.
class DialogApplicationChooser final : public ApplicationChooser {
public:
    explicit DialogApplicationChooser(IconSource& icons);
    ~DialogApplicationChooser() override;

    bool choose(QWidget* parent, Done done) override;

    // The window, once made (tests drive it).
    ApplicationChooserDialog* window() const;

private:
    void finished(int result);

    IconSource& m_icons;
    // Tracked, not owned outright: while open it belongs to the editor it is modal over,
    // and goes with that editor should the editor go first.
    OwnedWindow<ApplicationChooserDialog> m_window;
    Done m_done;
};
