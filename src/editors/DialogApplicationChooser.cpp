#include "editors/DialogApplicationChooser.h"

#include "editors/ApplicationChooserDialog.h"
#include "platform/Log.h"

DialogApplicationChooser::DialogApplicationChooser(IconSource& icons)
    : m_icons(icons)
{
}

DialogApplicationChooser::~DialogApplicationChooser() = default;

ApplicationChooserDialog* DialogApplicationChooser::window() const
{
    return m_window.get();
}

bool DialogApplicationChooser::choose(QWidget* parent, Done done)
{
    if (m_window && m_window->isVisible()) {
        qCInfo(lcVyre, "application chooser: already open for another editor");
        m_window->raise();
        m_window->activateWindow();
        return false;
    }
    if (!m_window) {
        m_window.reset(new ApplicationChooserDialog(m_icons));
        QObject::connect(m_window.get(), &QDialog::finished, m_window.get(), [this](int result) { finished(result); });
    }
    m_done = std::move(done);
    // A child of the editor while open, so that it is modal over that editor alone.
    if (parent)
        m_window->setParent(parent->window(), m_window->windowFlags());
    m_window->refresh();
    m_window->open();
    return true;
}

void DialogApplicationChooser::finished(int result)
{
    const std::optional<ChosenApplication> chosen
        = result == QDialog::Accepted ? m_window->current() : std::nullopt;
    // Out of the editor again: an editor deletes itself when it closes.
    m_window->setParent(nullptr, m_window->windowFlags());
    Done done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(chosen);
}
