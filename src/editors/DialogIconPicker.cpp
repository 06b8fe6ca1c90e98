#include "editors/DialogIconPicker.h"

#include "editors/IconPickerDialog.h"
#include "platform/Log.h"

DialogIconPicker::DialogIconPicker(IconSource& icons, DialogBackend& dialogs)
    : m_icons(icons)
    , m_dialogs(dialogs)
{
}

DialogIconPicker::~DialogIconPicker() = default;

IconPickerDialog* DialogIconPicker::window() const
{
    return m_window.get();
}

bool DialogIconPicker::pick(QWidget* parent, const IconPreset& preset, Done done)
{
    if (m_window && m_window->isVisible()) {
        // One picker for the whole program, and it already serves another editor.
        qCInfo(lcVyre, "icon picker: already open for another editor");
        m_window->raise();
        m_window->activateWindow();
        return false;
    }
    if (!m_window) {
        m_window.reset(new IconPickerDialog(m_icons, m_dialogs));
        QObject::connect(m_window.get(), &QDialog::finished, m_window.get(), [this](int result) { finished(result); });
    }
    if (preset.file)
        m_window->setFile(*preset.file);
    if (preset.position && !m_window->setPosition(*preset.position)) {
        qCInfo(lcVyre, "icon picker: icon %d is beyond the last of %d in %s", *preset.position + 1,
               m_window->count(), qUtf8Printable(m_window->file()));
        return false;
    }
    m_done = std::move(done);
    // A child of the editor while open, so that it is modal over that editor alone.
    if (parent)
        m_window->setParent(parent->window(), m_window->windowFlags());
    m_window->open();
    return true;
}

void DialogIconPicker::finished(int result)
{
    // Out of the editor again: an editor deletes itself when it closes.
    m_window->setParent(nullptr, m_window->windowFlags());
    Done done = std::move(m_done);
    m_done = nullptr;
    if (!done)
        return;
    if (result == QDialog::Accepted)
        done(IconChoice{m_window->file(), m_window->position()});
    else
        done(std::nullopt);
}
