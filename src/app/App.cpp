#include "app/App.h"

#include "about/qrABOUT.h"
#include "config/FCfg.h"
#include "launch/Launcher.h"
#include "platform/Prompter.h"
#include "store/Store.h"
#include "toolbar/ClawsPicture.h"
#include "toolbar/FTb.h"
#include "toolbar/ToolbarWindows.h"

#include <QGuiApplication>
#include <QScreen>

App::App(Services services, std::string dataFolder)
    : m_services(services)
    , m_dataFolder(std::move(dataFolder))
{
}

// Windows go before the set that owns them is torn down: the toolbar windows live in
// the records, and the configuration window and the toolbar builder refer to the set.
App::~App()
{
    delete m_about.data();
    for (TbrRec& rec : m_set.Tbrs)
        rec.Form.reset();
    m_launcher.reset();
    m_windows.reset();
    m_cfg.reset();
}

void App::show(const StoreMessages& messages)
{
    for (const StoreMessage& m : messages) {
        const RenderedMessage r = msg::render(m);
        const auto style = r.style == StoreMessage::Style::Critical ? Prompter::Critical
                                                                   : Prompter::Exclamation;
        m_services.prompter.message(QString::fromLocal8Bit(r.title), QString::fromLocal8Bit(r.text), style,
                                    QString::fromLocal8Bit(r.details));
    }
}

bool App::Main()
{
    // The configuration window comes first: the toolbar windows take their built-in
    // handle picture and their icon drawing surface from it.
    m_cfg = std::make_unique<FCfg>(m_set, m_services.pointer, *this);
    m_windows = std::make_unique<ToolbarWindows>(m_set, m_services, *this);
    m_launcher = std::make_unique<Launcher>(m_set, m_services,
                                            [this](std::uint8_t t, int m) { applyMode(t, m); });

    show(ReadCfg(m_set, m_dataFolder));
    if (m_set.Tbrs.empty())
        return false; // wrong version, no toolbar line or unreadable: nothing to bring up

    m_cfg->FillTbrList();

    // One toolbar after the other, each completely before the next. A toolbar that
    // fails to come up does not keep the others from coming up. Only the toolbars on
    // screen get a window now; a hidden one is built the first time it is needed
    // (shown, switched, folded, pictured), so a large set starts as fast as a small one.
    for (int i = 0; i <= m_set.TbrLast; ++i) {
        const auto t = static_cast<std::uint8_t>(i);
        show(ReadBtns(m_set.Tbrs[t]));
        if (t != 0 && !isTrue(m_set.Tbrs[t].Visible))
            continue;
        try {
            m_windows->ready(t);
        } catch (...) {
        }
    }
    return true;
}

void App::Terminate()
{
    if (m_ended)
        return;
    m_ended = true;
    // From here on every step is tried whatever happened before it.
    try {
        saveConfig();
    } catch (...) {
    }
    for (int i = 0; i <= m_set.TbrLast && i < static_cast<int>(m_set.Tbrs.size()); ++i) {
        try {
            if (TbrForm* f = m_set.Tbrs[i].Form.get())
                if (auto* w = dynamic_cast<QWidget*>(f))
                    w->hide();
            m_set.Tbrs[i].Form.reset();
        } catch (...) {
        }
    }
    emit terminated();
}

// ---- ToolbarHost

QString App::busyMark() const
{
    return m_cfg->tag();
}

void App::setBusyMark(const QString& mark)
{
    m_cfg->setTag(mark);
}

bool App::configShows(std::uint8_t t) const
{
    return m_cfg->shows(t);
}

void App::setModeCheck(int m, bool on)
{
    m_cfg->setModeCheck(m, on);
}

bool App::buttonEditorVisible() const
{
    return false; // the button editor does not exist yet
}

QImage& App::imgTransfer()
{
    return m_cfg->imgTransfer();
}

const QPixmap& App::imgClaws() const
{
    return m_cfg->imgClaws();
}

void App::saveConfig()
{
    if (m_windows)
        m_windows->takePositions();
    show(WriteCfg(m_set, m_dataFolder));
}

void App::showConfig(std::uint8_t t)
{
    if (!m_ended)
        m_cfg->ShowConfig(t);
}

void App::showAbout()
{
    if (m_ended)
        return;
    if (!m_about) {
        m_about = new qrABOUT(m_services.shell, m_services.pointer);
        // Without a window manager to place it, it would open in the screen's corner.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), m_about->sizeHint().expandedTo(m_about->size()));
            frame.moveCenter(screen->availableGeometry().center());
            m_about->move(frame.topLeft());
        }
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void App::terminate()
{
    Terminate();
}

void App::buttonClicked(std::uint8_t t, int k)
{
    if (!m_ended)
        m_launcher->buttonClicked(t, k);
}

void App::filesDropped(std::uint8_t t, int k, const QStringList& files)
{
    if (m_ended)
        return;
    if (k >= 1)
        m_launcher->filesDropped(t, k, files);
    // A drop on the handle opens the button editor, which does not exist yet.
}

// ---- ConfigActions

void App::applyMode(std::uint8_t t, int m)
{
    if (!m_ended && m >= 0 && m <= 255)
        m_windows->ApplyMode(t, static_cast<std::uint8_t>(m));
}

QPixmap App::handlePicture(std::uint8_t t)
{
    return m_windows->ready(t).claws().picture();
}

// The commands that edit the set arrive with the editors.
void App::addButton(std::uint8_t) {}
void App::editButton(std::uint8_t, int) {}
void App::deleteButton(std::uint8_t, int) {}
void App::addToolbar() {}
void App::editToolbar(std::uint8_t) {}
void App::deleteToolbar(std::uint8_t) {}
void App::exchangeButtons(std::uint8_t, int, int) {}
