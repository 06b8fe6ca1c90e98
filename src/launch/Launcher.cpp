#include "launch/Launcher.h"

#include "platform/GioLaunch.h"
#include "platform/Prompter.h"
#include "store/Messages.h"
#include "store/Numbers.h"
#include "store/Paths.h"

#include <filesystem>
#include <unistd.h>

namespace {

QString text(const std::string& bytes) { return QString::fromLocal8Bit(bytes); }

// The folder a target starts in, checked the way changing into it would check it.
bool canEnter(const std::string& folder)
{
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) && ::access(folder.c_str(), X_OK) == 0;
}

} // namespace

Launcher::Launcher(ToolbarSet& set, Services services, ApplyModeFn applyMode)
    : m_set(set)
    , m_services(services)
    , m_applyMode(std::move(applyMode))
{
}

const BtnRec* Launcher::button(std::uint8_t i, int k) const
{
    if (i > m_set.TbrLast || i >= m_set.Tbrs.size())
        return nullptr;
    const TbrRec& tbr = m_set.Tbrs[i];
    if (k < 1 || k > tbr.BtnCount || k > MaxButtons)
        return nullptr;
    return &tbr.Btns[static_cast<std::size_t>(k)];
}

void Launcher::TBar_ButtonClick(std::uint8_t i, int k)
{
    for (;;) {
        if (ActivateBtn(i, k))
            return;
        // No record, no name to title a message with: the click simply did nothing.
        const BtnRec* b = button(i, k);
        if (!b)
            return;
        const Prompter::Answer answer = m_services.prompter.message(
            text(b->Name), "Unable to access: " + text(b->Executable) + " " + text(b->Parameters),
            Prompter::RetryCancel);
        if (answer != Prompter::Retry)
            return;
    }
}

bool Launcher::ActivateBtn(std::uint8_t i, int k)
{
    try {
        const BtnRec* b = button(i, k);
        if (!b)
            return false;
        return b->Executable == RecallMarker ? recall(*b) : launch(*b);
    } catch (...) {
        return false;
    }
}

bool Launcher::launch(const BtnRec& b)
{
    // The target starts in its own folder. Our process keeps its current folder: the
    // folder goes to the new process only. A bare program name (found on PATH) and a
    // link have no folder to start in.
    std::string folder;
    if (!gio::LooksLikeUri(b.Executable)) {
        folder = PathFolder(b.Executable);
        if (!folder.empty() && !canEnter(folder))
            return false;
    }
    return m_services.shell.open(b.Executable, b.Parameters, folder).ok;
}

bool Launcher::recall(const BtnRec& b)
{
    const double value = LeadingNumber(b.Parameters);
    if (!(value > 0))
        return false;
    const auto t = RoundToInt16(value);
    if (!t || *t > m_set.TbrLast || static_cast<std::size_t>(*t) >= m_set.Tbrs.size())
        return false;
    if (!m_applyMode)
        return false;
    m_applyMode(static_cast<std::uint8_t>(*t), Visible);
    return true;
}

Shell::Result Launcher::ExecuteWithFile(std::uint8_t i, int k, const std::string& file)
{
    const BtnRec* b = button(i, k);
    if (!b)
        return {false, "no such button"};
    if (b->Kind == KindFolder)
        return m_services.shell.copyInto(file, b->Executable);
    // A recall button names a toolbar, never a program: starting "!RecallTbr>>>" could
    // only fail, or run a stranger's program of that name from PATH.
    if (b->Executable == RecallMarker)
        return {false, "a recall button starts no program"};
    return m_services.shell.startWithFile(b->Executable, b->Parameters, file);
}

void Launcher::TBar_OLEDragDrop(std::uint8_t i, int k, const QStringList& files)
{
    if (files.isEmpty())
        return;
    const BtnRec* b = button(i, k);
    if (!b)
        return;
    for (const QString& file : files) {
        Shell::Result result;
        try {
            result = ExecuteWithFile(i, k, file.toLocal8Bit().toStdString());
        } catch (...) {
            result.ok = false;
        }
        if (!result.ok) {
            // The message names the drop's first file whichever file failed; the files
            // handed over before the failure stay handed over.
            m_services.prompter.message(QString(msg::ProgramTitle) + " Execution",
                                        "Unable to execute: " + text(b->Executable) + " "
                                            + text(b->Parameters) + " " + files.first(),
                                        Prompter::Exclamation);
            return;
        }
    }
}
