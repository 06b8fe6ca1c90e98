#include "launch/Launcher.h"

#include "platform/GioLaunch.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "store/Messages.h"
#include "store/Numbers.h"
#include "store/Paths.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

QString text(const std::string& bytes) { return QString::fromLocal8Bit(bytes); }

// The folder a target starts in, checked the way changing into it would check it.
Result<void> enter(const std::string& folder)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return Failure{"the folder " + folder + " does not exist"};
    if (::access(folder.c_str(), X_OK) != 0) {
        const int error = errno;
        return Failure{"the folder " + folder + " cannot be entered: " + std::generic_category().message(error)};
    }
    return {};
}

// A failure message: its fixed words first, then the reason the desktop gave as a
// paragraph of its own, so the user sees why without asking for the details.
QString withReason(const QString& words, const std::string& reason)
{
    QString why = text(reason).trimmed();
    if (why.isEmpty())
        return words;
    why[0] = why[0].toUpper();
    if (!why.endsWith(QLatin1Char('.')) && !why.endsWith(QLatin1Char('!')) && !why.endsWith(QLatin1Char('?')))
        why += QLatin1Char('.');
    return words + QStringLiteral("\n\n") + why;
}

} // namespace

Launcher::Launcher(ToolbarSet& set, Services services, ApplyModeFn applyMode)
    : m_set(set)
    , m_services(services)
    , m_applyMode(std::move(applyMode))
{
}

const BtnRec* Launcher::button(std::uint8_t t, int k) const
{
    if (t > m_set.TbrLast || t >= m_set.Tbrs.size())
        return nullptr;
    const TbrRec& tbr = m_set.withButtons(t);
    if (k < 1 || k > tbr.BtnCount || k > MaxButtons)
        return nullptr;
    return &tbr.Btns[static_cast<std::size_t>(k)];
}

void Launcher::buttonClicked(std::uint8_t t, int k)
{
    if (const Result<void> activated = activate(t, k); !activated)
        startFailed(t, k, activated.reason());
}

void Launcher::startFailed(std::uint8_t t, int k, std::string reason)
{
    for (;;) {
        // No record, no name to title a message with: the click simply did nothing.
        const BtnRec* b = button(t, k);
        if (!b)
            return;
        const Prompter::Answer answer = m_services.prompter.message(
            text(b->Name),
            withReason("Unable to access: " + text(b->Executable) + " " + text(b->Parameters), reason),
            Prompter::RetryCancel);
        if (answer != Prompter::Retry)
            return;
        const Result<void> activated = activate(t, k);
        if (activated)
            return;
        reason = activated.reason();
    }
}

Result<void> Launcher::activate(std::uint8_t t, int k)
{
    const BtnRec* b = button(t, k);
    if (!b)
        return Failure{"toolbar " + std::to_string(t) + " has no button " + std::to_string(k)};
    return b->Executable == RecallMarker ? recall(*b) : launch(*b);
}

Result<void> Launcher::launch(const BtnRec& b)
{
    // The target starts in its own folder. Our process keeps its current folder: the
    // folder goes to the new process only. A bare program name (found on PATH) and a
    // link have no folder to start in.
    std::string folder;
    if (!gio::looksLikeUri(b.Executable)) {
        folder = PathFolder(b.Executable);
        if (!folder.empty())
            if (Result<void> entered = enter(folder); !entered)
                return entered;
    }
    return m_services.shell.open(b.Executable, b.Parameters, folder);
}

Result<void> Launcher::recall(const BtnRec& b)
{
    const double value = leadingNumber(b.Parameters);
    const auto t = value > 0 ? roundToInt16(value) : std::nullopt;
    if (!t || *t > m_set.TbrLast || static_cast<std::size_t>(*t) >= m_set.Tbrs.size())
        return Failure{"\"" + b.Parameters + "\" names no toolbar to recall"};
    if (!m_applyMode)
        return Failure{"no toolbar windows to recall a toolbar in"};
    m_applyMode(static_cast<std::uint8_t>(*t), Visible);
    return {};
}

Result<void> Launcher::startWithFile(std::uint8_t t, int k, const std::string& file)
{
    const BtnRec* b = button(t, k);
    if (!b)
        return Failure{"toolbar " + std::to_string(t) + " has no button " + std::to_string(k)};
    if (b->Kind == KindFolder)
        return m_services.shell.copyInto(file, b->Executable);
    // A recall button names a toolbar, never a program: starting "!RecallTbr>>>" could
    // only fail, or run a stranger's program of that name from PATH.
    if (b->Executable == RecallMarker)
        return Failure{"a recall button starts no program"};
    return m_services.shell.startWithFile(b->Executable, b->Parameters, file);
}

void Launcher::filesDropped(std::uint8_t t, int k, const std::vector<std::string>& items)
{
    if (items.empty())
        return;
    const BtnRec* b = button(t, k);
    if (!b)
        return;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Result<void> started = startWithFile(t, k, items[i]);
        if (!started) {
            // The message names the drop's first item whichever item failed, so the
            // reason names the one that did when it is another; the items handed over
            // before the failure stay handed over.
            std::string reason = started.reason();
            if (i > 0)
                reason = items[i] + ": " + reason;
            m_services.prompter.message(QString(msg::ProgramTitle) + " Execution",
                                        withReason("Unable to execute: " + text(b->Executable) + " "
                                                       + text(b->Parameters) + " " + text(items.front()),
                                                   reason),
                                        Prompter::Exclamation);
            return;
        }
    }
}
