#include "app/App.h"

#include "app/RemoteCommand.h"

#include <QScopedValueRollback>
#include <QTimer>

#include "about/AboutBox.h"
#include "app/ButtonCommands.h"
#include "app/ToolbarCommands.h"
#include "editors/DialogApplicationChooser.h"
#include "editors/DialogIconPicker.h"
#include "config/ConfigWindow.h"
#include "launch/Launcher.h"
#include "platform/Prompter.h"
#include "store/Store.h"
#include "platform/Clock.h"
#include "platform/LosslessText.h"
#include "platform/Log.h"
#include "platform/SkipOnError.h"
#include "toolbar/ToolbarHandle.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"


App::App(Services services, std::string dataFolder, Clock* clock)
    : m_services(services)
    , m_dataFolder(std::move(dataFolder))
    , m_realClock(clock ? nullptr : std::make_unique<QtClock>())
    , m_clock(clock ? *clock : *m_realClock)
{
}

// Windows go before the set they show: the toolbar windows and the configuration window
// refer to it.
App::~App()
{
    m_about.reset();
    m_buttons.reset();
    m_toolbarCommands.reset();
    m_launcher.reset();
    m_toolbars.reset();
    m_cfg.reset();
}

void App::show(const StoreMessages& messages)
{
    for (const StoreMessage& m : messages) {
        const RenderedMessage r = msg::render(m);
        if (m_ended) {
            // The process ends in a moment (a logout, a signal): a box now would hold the
            // end up until somebody clicks it. What the last save had to say is logged.
            qCWarning(lcVyre).noquote() << "while ending:" << QString::fromLocal8Bit(r.text).replace("\r\n", " ")
                                        << QString::fromLocal8Bit(r.details);
            continue;
        }
        showRendered(m_services.prompter, r);
    }
}

bool App::start()
{
    m_cfg = std::make_unique<ConfigWindow>(m_set, *this);
    m_toolbars = std::make_unique<ToolbarManager>(m_set, m_services, *this, m_clock);
    m_launcher = std::make_unique<Launcher>(m_set, m_services,
                                            [this](std::uint8_t t, int m) { applyMode(t, m); });
    m_iconPicker = std::make_unique<DialogIconPicker>(m_services.icons, m_services.dialogs);
    m_buttons = std::make_unique<ButtonCommands>(m_set, m_services, *m_cfg, *m_toolbars, *m_iconPicker,
                                                 [this](const StoreMessages& m) { show(m); });
    // One picker for both editors' icon buttons.
    m_toolbarCommands = std::make_unique<ToolbarCommands>(
        m_set, m_services, m_dataFolder, *m_cfg, *m_toolbars, *m_iconPicker,
        [this](const StoreMessages& m) { show(m); }, [this] { return m_ended; });
    // One chooser of installed applications, kept with its list between uses.
    m_applications = std::make_unique<DialogApplicationChooser>(m_services.icons);
    m_buttons->setApplicationChooser(*m_applications);

    m_set.onFirstRead = [this](const TbrRec& rec, const StoreMessages& said) { firstReadSaid(rec, said); };
    show(ReadCfg(m_set, m_dataFolder));
    if (m_set.Tbrs.empty())
        return false; // wrong version, no toolbar line or unreadable: nothing to bring up
    if (!m_captionFile.empty())
        m_toolbars->keepCaptions(m_captionFile);
    m_toolbars->loadCaptionFontsAhead();

    m_cfg->refreshToolbarList();

    // The files of the toolbars on screen are read first, then those toolbars are built
    // one after the other, each completely before the next: the font database a caption
    // needs loads on another thread meanwhile (none of it shows before the event loop
    // runs). A toolbar that fails to come up does not keep the others from coming up.
    // A hidden toolbar's file is read, and its window built, the first time it is needed
    // (shown, switched, listed, edited), so a large set starts as fast as a small one.
    // The toolbar files' messages of a start-up come in one box at the end: thirty
    // toolbars on a drive that is gone are one message, not thirty.
    std::vector<msg::ToolbarMessage> unread;
    for (int i = 0; i <= m_set.TbrLast; ++i) {
        TbrRec& rec = m_set.Tbrs[static_cast<std::size_t>(i)];
        if (i != 0 && !isTrue(rec.Visible))
            continue;
        for (StoreMessage& m : ReadBtns(rec))
            unread.push_back({rec.Name, toolbarFilePath(rec), std::move(m)});
        if (m_ended)
            return true; // ending has begun meanwhile: nothing more comes up
    }
    for (int i = 0; i <= m_set.TbrLast && !m_ended; ++i) {
        const auto t = static_cast<std::uint8_t>(i);
        if (t != 0 && !isTrue(m_set.Tbrs[t].Visible))
            continue;
        skipOnError("building a toolbar at start-up", [&] { m_toolbars->ready(t); });
    }
    if (m_ended)
        return true;
    if (!unread.empty())
        showRendered(m_services.prompter, msg::gather(unread));
    // Once the toolbars are up, which work as ever, only their changes are not kept.
    if (m_readOnly && !m_ended)
        tellReadOnly(msg::folderReadOnly(m_dataFolder));
    return true;
}

void App::setReadOnly()
{
    m_readOnly = true;
}

void App::tellReadOnly(const StoreMessage& message)
{
    // Said once: every later save would say it again, at each mode switch.
    if (m_readOnlyTold)
        return;
    m_readOnlyTold = true;
    show({message});
}

void App::quit()
{
    if (m_ended)
        return;
    m_ended = true;
    m_reserve.release();
    // From here on every step is tried whatever happened before it.
    // A save that threw is as lost as one that failed.
    m_endSaveFailed = true;
    skipOnError("saving at the end", [&] { m_endSaveFailed = !save(); });
    if (m_toolbars)
        m_toolbars->closeAll();
    emit finished();
}

// ---- ToolbarHost

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
    return m_buttons && m_buttons->editorVisible();
}

bool App::takesHandleDrops() const
{
    // A modal editor would have its fields changed under the user: the button editor's
    // target, or the configuration window it works on turned to another toolbar.
    return !m_ended && !(m_buttons && m_buttons->holdsConfig())
        && !(m_toolbarCommands && m_toolbarCommands->editorVisible());
}

void App::saveConfig()
{
    // After the last save nothing may write the file again: a late request would save
    // windows that are already closed.
    if (!m_ended)
        save();
}

bool App::save()
{
    // A folder or file the user made read-only is not saved on purpose: that is no
    // failure.
    if (m_readOnly)
        return true;
    if (m_toolbars)
        m_toolbars->takePositions();
    bool saved = true;
    for (const StoreMessage& m : WriteCfg(m_set, m_dataFolder)) {
        if (m.code == StoreMessage::Code::CfgReadOnly) {
            tellReadOnly(m);
        } else {
            saved = false;
            show({m});
        }
    }
    return saved;
}

void App::showConfig(std::uint8_t t)
{
    if (m_ended)
        return;
    // A toolbar's request would turn the window under an open editor to another
    // toolbar, and the editor's OK would then write there: the editor comes forward.
    if (m_buttons && m_buttons->holdsConfig()) {
        m_buttons->editor()->raise();
        m_buttons->editor()->activateWindow();
        return;
    }
    m_cfg->showToolbar(t);
}

void App::showAbout()
{
    if (m_ended)
        return;
    if (!m_about)
        m_about.reset(new AboutBox(m_services.shell));
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void App::firstReadSaid(const TbrRec& rec, const StoreMessages& said)
{
    if (m_commandReads) {
        for (const StoreMessage& m : said) {
            const std::string why = m.code == StoreMessage::Code::VtbVersion
                                        ? toolbarFilePath(rec) + " is a toolbar file of another version"
                                        : m.reason;
            m_commandReads->lines += (m_commandReads->lines.empty() ? "" : "; ") + std::string("the buttons of toolbar '")
                                   + rec.Name + "' could not be read: " + why;
        }
        m_commandReads->said.insert(m_commandReads->said.end(), said.begin(), said.end());
        return;
    }
    showLater(said);
}

void App::showLater(const StoreMessages& said)
{
    // Shown once the handler that needed the buttons is done: a box in the middle of
    // building a window or filling a list would let other events in while it is half
    // done. A message that comes due once the end has begun is logged (see show).
    QTimer::singleShot(0, this, [this, said] { show(said); });
}

std::vector<std::string> App::runCommand(const std::vector<std::string>& words)
{
    CommandReads reads;
    std::vector<std::string> answer;
    {
        const QScopedValueRollback collect(m_commandReads, &reads);
        answer = answerCommand(words);
    }
    if (reads.said.empty())
        return answer;
    // A list is asked from a terminal or a script: an incomplete one is a failure, said
    // there. The other commands act on the screen, often from a key binding with no
    // terminal: the message comes up as for a click, and a failure's answer says it too.
    if (words.front() == "list") {
        answer[0] = "1";
        answer[2] = reads.lines;
        return answer;
    }
    showLater(reads.said);
    if (answer[0] != "0")
        answer[2] += " (" + reads.lines + ")";
    return answer;
}

std::vector<std::string> App::answerCommand(const std::vector<std::string>& words)
{
    const auto answer = [](int status, std::string out, std::string err) {
        return std::vector<std::string>{std::to_string(status), std::move(out), std::move(err)};
    };
    const std::string verb = words.empty() ? std::string() : words.front();
    const std::size_t wanted = verb == "press" ? 3 : verb == "toggle" || verb == "focus" ? 2 : verb == "list" ? 1 : 0;
    if (wanted == 0 || words.size() != wanted)
        return answer(2, "", "the launcher does not know this command");
    if (m_ended)
        return answer(1, "", "the launcher is ending");
    const int count = m_set.count();
    if (verb == "list") {
        std::string out;
        for (int t = 0; t < count; ++t) {
            const TbrRec& rec = m_set.withButtons(std::size_t(t));
            out += listToolbarLine(std::size_t(t) + 1, isTrue(rec.Visible), rec.Name);
            for (int k = 1; k <= rec.BtnCount; ++k)
                out += listButtonLine(std::size_t(k), rec.Btns[std::size_t(k)].Name, rec.Btns[std::size_t(k)].Executable);
        }
        return answer(0, out, "");
    }
    std::vector<std::string> toolbarNames;
    for (int t = 0; t < count; ++t)
        toolbarNames.push_back(m_set.Tbrs[std::size_t(t)].Name);
    const NamePick toolbar = pickByName(toolbarNames, words[1], "toolbar");
    if (!toolbar.index)
        return answer(1, "", toolbar.error);
    const auto t = static_cast<std::uint8_t>(*toolbar.index);
    if (verb == "toggle") {
        applyMode(t, Visible);
        return answer(0, "", "");
    }
    if (verb == "focus") {
        // A key bound to a hidden toolbar is meant to bring it: shown as --toggle shows it.
        if (t != 0 && !isTrue(m_set.Tbrs[t].Visible))
            applyMode(t, Visible);
        ToolbarWindow& window = m_toolbars->ready(t);
        window.takeKeyboardFocus();
        // Still hidden (the message box of another mode change was up, and the showing
        // was refused): the asker must not take it for done.
        if (!window.isVisible())
            return answer(1, "", "toolbar '" + m_set.Tbrs[t].Name + "' cannot be shown now");
        return answer(0, "", "");
    }
    const TbrRec& rec = m_set.withButtons(t);
    std::vector<std::string> buttonNames;
    for (int k = 1; k <= rec.BtnCount; ++k)
        buttonNames.push_back(rec.Btns[std::size_t(k)].Name);
    const NamePick button = pickByName(buttonNames, words[2], "button");
    if (!button.index)
        return answer(1, "", button.error + " on toolbar '" + rec.Name + "'");
    const int k = static_cast<int>(*button.index) + 1;
    const BtnRec& b = rec.Btns[std::size_t(k)];
    if (b.Kind == KindSeparator)
        return answer(1, "", "button " + std::to_string(k) + " of toolbar '" + rec.Name + "' is a separator");
    // The start a click makes. A failure goes back to the asker, and the message a click
    // would show comes up once the asker has its answer: a key binding has no terminal.
    if (const Result<void> started = m_launcher->activate(t, k); !started) {
        QTimer::singleShot(0, this, [this, t, k, reason = started.reason()] {
            if (!m_ended)
                m_launcher->startFailed(t, k, reason);
        });
        return answer(1, "", b.Name + ": Unable to access: " + b.Executable + " " + b.Parameters + ": " +
                                 started.reason());
    }
    return answer(0, "", "");
}

void App::buttonClicked(std::uint8_t t, int k)
{
    if (!m_ended)
        m_launcher->buttonClicked(t, k);
}

void App::filesDropped(std::uint8_t t, int k, const std::vector<std::string>& items)
{
    if (m_ended)
        return;
    if (k >= 1) {
        m_launcher->filesDropped(t, k, items);
    } else if (!items.empty() && takesHandleDrops()) {
        // A drop on the handle is the quickest way to a new button: the configuration
        // window turns to this toolbar, and the editor takes the drop's first item.
        showConfig(t);
        m_buttons->addFromFile(textFromBytes(items.front()));
    }
}

bool App::editorHolds(std::uint8_t t)
{
    if (!m_buttons || !m_buttons->holdsConfig() || m_cfg->chosenToolbar() != t)
        return false;
    m_buttons->editor()->raise();
    m_buttons->editor()->activateWindow();
    return true;
}

void App::editButtonRequested(std::uint8_t t, int k)
{
    if (m_ended)
        return;
    // The editor works on what the configuration window has chosen: it turns to the
    // toolbar with the button selected, and the editor opens over it. An editor already
    // open over the window comes forward instead.
    showConfig(t);
    if (m_buttons->holdsConfig() || !m_cfg->shows(t))
        return;
    if (m_cfg->selectButton(k))
        m_buttons->edit(t, k);
    else
        qCWarning(lcVyre, "button %d of toolbar %d has no line to edit it by", k, int(t));
}

void App::deleteButtonRequested(std::uint8_t t, int k)
{
    if (!m_ended && !editorHolds(t))
        m_buttons->remove(t, k);
}

void App::moveButtonRequested(std::uint8_t t, int k, int to)
{
    if (!m_ended && !editorHolds(t))
        m_buttons->move(t, k, to);
}

// ---- ConfigActions

void App::applyMode(std::uint8_t t, int m)
{
    if (!m_ended && m >= 0 && m <= 255)
        m_toolbars->applyMode(t, m);
}

QPixmap App::handlePicture(std::uint8_t t)
{
    // Once the program has begun to end, no toolbar window is made again.
    if (m_ended)
        return {};
    return m_toolbars->ready(t).handle().picture();
}

void App::addButton(std::uint8_t t)
{
    if (!m_ended)
        m_buttons->add(t);
}

void App::editButton(std::uint8_t t, int k)
{
    if (!m_ended)
        m_buttons->edit(t, k);
}

void App::deleteButton(std::uint8_t t, int k)
{
    if (!m_ended)
        m_buttons->remove(t, k);
}

bool App::exchangeButtons(std::uint8_t t, int a, int b)
{
    return !m_ended && m_buttons->exchange(t, a, b);
}

// ---- The toolbar commands

void App::addToolbar()
{
    if (!m_ended)
        m_toolbarCommands->add();
}

void App::editToolbar(std::uint8_t t)
{
    if (!m_ended)
        m_toolbarCommands->edit(t);
}

void App::deleteToolbar(std::uint8_t t)
{
    if (!m_ended)
        m_toolbarCommands->remove(t);
}
