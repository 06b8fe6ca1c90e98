#include "app/Startup.h"

#include "platform/Autostart.h"
#include "platform/DisplayChoice.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"
#include "platform/Log.h"
#include "platform/Prompter.h"
#include "store/Messages.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// How long a second start waits for the first to answer.
constexpr int AnswerTimeoutMs = 5000;

// True when this program, not the user, set QT_QPA_PLATFORM.
bool forcedXcb = false;

std::string programPath(const char* fallback)
{
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, std::size_t(n)) : std::string(fallback);
}

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

} // namespace

std::optional<int> answerCommandLine(const CommandLine& line, const char* program)
{
    if (!line.error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program, line.error.c_str(), program);
        return 2;
    }
    switch (line.action) {
    case CommandLine::Action::Run:
    case CommandLine::Action::Press:
    case CommandLine::Action::Toggle:
    case CommandLine::Action::Focus:
    case CommandLine::Action::List:
        return std::nullopt;
    case CommandLine::Action::Help:
        std::fputs(helpText(program).c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(versionLine().c_str(), stdout);
        return 0;
    case CommandLine::Action::Autostart:
        break;
    }
    // The entry starts this very binary, on the folder given now, if any.
    std::vector<std::string> command{programPath(program)};
    if (!line.dataDir.empty()) {
        char here[4096];
        const bool relative = line.dataDir[0] != '/';
        command.push_back("--data-dir");
        command.push_back(relative && ::getcwd(here, sizeof here) ? std::string(here) + "/" + line.dataDir
                                                                   : line.dataDir);
    }
    // Refused like a wrong option: nothing was changed, and the folder's name is the cause.
    if (const std::optional<std::string> why = entryCannotHold(command)) {
        std::fprintf(stderr, "%s: %s; nothing was changed.\n", program, why->c_str());
        return 2;
    }
    const Result<std::string> done =
        setAutostart(autostartFolder(env("XDG_CONFIG_HOME"), env("HOME")), line.autostartOn, command,
                     systemAutostartFolders(env("XDG_CONFIG_DIRS")));
    if (!done) {
        std::fprintf(stderr, "%s: %s\n", program, done.reason().c_str());
        return 1;
    }
    std::printf("%s\n", done.value().c_str());
    return 0;
}

std::optional<int> chooseWindowSystem(const CommandLine& line, const char* program)
{
    const DisplayFacts facts = currentDisplayFacts(line.platformChosen);
    switch (planDisplay(facts)) {
    case DisplayPlan::AsIs:
        break;
    case DisplayPlan::ForceXcb:
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        forcedXcb = true;
        break;
    case DisplayPlan::NoDisplay:
        std::fprintf(stderr,
                     "%s: there is no display to show the toolbars on.\n"
                     "Run it under a virtual X server instead:\n"
                     "  xvfb-run -s \"-screen 0 1280x800x24\" %s\n",
                     program, program);
        return 1;
    case DisplayPlan::NoXServer:
        std::fprintf(stderr,
                     "%s: this is a Wayland session without an X server (XWayland): DISPLAY is not set.\n"
                     "The toolbars place themselves on the screen, which Wayland does not allow;\n"
                     "they run on XWayland. Start XWayland, or choose a platform with QT_QPA_PLATFORM.\n",
                     program);
        return 1;
    }
    // Qt would abort on an X server that is not there; say so instead.
    const std::string qpa = env("QT_QPA_PLATFORM");
    if ((qpa.empty() || qpa == "xcb") && !line.platformChosen && !XServerAnswers(facts.display)) {
        std::fprintf(stderr, "%s: the X server %s does not answer.\n", program, facts.display.c_str());
        return 1;
    }
    return std::nullopt;
}

void forgetWindowSystemChoice()
{
    if (forcedXcb)
        ::unsetenv("QT_QPA_PLATFORM");
    forcedXcb = false;
}

std::vector<std::string> commandWords(const CommandLine& line)
{
    std::vector<std::string> words;
    switch (line.action) {
    case CommandLine::Action::Press: words.push_back("press"); break;
    case CommandLine::Action::Toggle: words.push_back("toggle"); break;
    case CommandLine::Action::Focus: words.push_back("focus"); break;
    case CommandLine::Action::List: words.push_back("list"); break;
    default: return {};
    }
    words.insert(words.end(), line.names.begin(), line.names.end());
    return words;
}

int reportAnswer(const std::vector<std::string>& answer)
{
    if (answer.size() != 3 || (answer[0] != "0" && answer[0] != "1" && answer[0] != "2")) {
        std::fputs("vyrelight: the running launcher gave an answer this version does not understand\n", stderr);
        return 1;
    }
    std::fwrite(answer[1].data(), 1, answer[1].size(), stdout);
    if (!answer[2].empty())
        std::fprintf(stderr, "vyrelight: %s\n", answer[2].c_str());
    std::fflush(nullptr);
    return answer[0][0] - '0';
}

InstanceClaim claimInstance(const std::string& dataFolder, const RuntimeFolderChoice& runtime,
                            const std::vector<std::string>& command)
{
    InstanceClaim claim;
    // The channel only brings a running launcher forward: without it the launcher still
    // runs, and the log says why a second start cannot find it.
    if (!runtime.note.empty())
        qCWarning(lcVyre).noquote() << QString::fromLocal8Bit(runtime.note);
    // The folder by its real path: two names for one folder share one lock, and so one
    // channel.
    char real[PATH_MAX];
    const std::string path = runtime.folder.empty()
        ? std::string()
        : channelPath(runtime.folder, ::realpath(dataFolder.c_str(), real) ? real : dataFolder);
    const auto listen = [&claim, &path] {
        if (path.empty())
            return;
        Result<std::unique_ptr<InstanceServer>> server = InstanceServer::listen(path);
        if (server)
            claim.server = std::move(server).value();
        else
            qCWarning(lcVyre).noquote() << "a second start will not find this one:"
                                        << QString::fromLocal8Bit(server.reason());
    };
    const QString folder = QString::fromLocal8Bit(dataFolder);
    claim.lock = std::make_shared<InstanceLock>(dataFolder);
    if (!claim.lock->acquired()) {
        if (claim.lock->heldByOther()) {
            // The message names the folder; the log keeps what went wrong on the way.
            const auto unanswered = [](const std::string& reason) {
                qCWarning(lcVyre).noquote() << "the running launcher was not reached:" << QString::fromLocal8Bit(reason);
            };
            if (!command.empty()) {
                if (!path.empty()) {
                    Result<std::vector<std::string>> answer = askLauncher(path, command, AnswerTimeoutMs);
                    if (answer) {
                        claim.answer = std::move(answer).value();
                        claim.outcome = InstanceClaim::Outcome::Forwarded;
                        return claim;
                    }
                    unanswered(answer.reason());
                }
                claim.message = QString("The launcher running on the toolbars in\n%1\ndid not answer.").arg(folder);
                return claim;
            }
            if (!path.empty()) {
                const Result<void> asked = askToComeForward(path, AnswerTimeoutMs);
                if (asked) {
                    claim.outcome = InstanceClaim::Outcome::Forwarded;
                    return claim;
                }
                unanswered(asked.reason());
            }
            claim.message = QString("Vyrelight Toolbar is already running on the toolbars in\n%1").arg(folder);
            return claim;
        }
        // No lock file can be made: the folder holds the toolbars but cannot be written.
        // They are shown all the same and nothing is saved, so two such runs cannot clash.
        // A second start still finds this one when it can listen.
        claim.outcome = InstanceClaim::Outcome::ReadOnly;
        listen();
        return claim;
    }
    listen();
    claim.outcome = InstanceClaim::Outcome::Claimed;
    return claim;
}

void reportStartFailure(Prompter& prompter, const QString& message)
{
    std::fprintf(stderr, "vyrelight: %s\n", message.toLocal8Bit().constData());
    prompter.message(QString::fromLatin1(msg::ProgramTitle), message, Prompter::Critical);
}
