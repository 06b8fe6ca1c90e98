#include "about/AboutBox.h"
#include "app/App.h"
#include "app/CommandLine.h"
#include "app/RealServices.h"
#include "app/Startup.h"
#include "platform/BaseDirectories.h"
#include "platform/DataFolder.h"
#include "platform/InstanceChannel.h"
#include "toolbar/CaptionCache.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSocketNotifier>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds ProgramIconDelay{2000};

// SIGTERM, SIGINT and SIGHUP arrive on a socket pair so that the save runs on the UI thread.
int signalFds[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalFds[0], &c, 1);
}

// Everything is saved by then. Tearing the windows and Qt down would only cost time at
// logout (it even starts the font machinery to destroy it), so the process ends here.
[[noreturn]] void endProcess(int status)
{
    std::fflush(nullptr);
    ::_exit(status);
}

} // namespace

int main(int argc, char** argv)
{
    ignoreRelativeBaseDirectories();
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto status = answerCommandLine(line, argv[0]))
        return *status;
    if (const auto status = chooseWindowSystem(line, argv[0]))
        return *status;

    const RuntimeFolderChoice runtime = runtimeFolder();

    QApplication::setDesktopSettingsAware(true);
    QApplication qapp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    forgetWindowSystemChoice();
    // Task switchers find the program's entry, and with it its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vyrelight"));

    // Made before anything can fail, so that even the box that ends a start goes through
    // the program's one prompter. The windows' icon comes once the start is over (see
    // below), or with the first message box.
    RealServices real([] { return QIcon(programIconPicture()); });
    const std::string programFolder = QCoreApplication::applicationDirPath().toLocal8Bit().toStdString();
    const Result<std::string> found = findDataFolder(programFolder, line.dataDir);
    if (!found) {
        reportStartFailure(real.services().prompter, QString::fromLocal8Bit(found.reason()));
        return 1;
    }
    const std::string& dataFolder = found.value();
    const std::vector<std::string> command = commandWords(line);
    const InstanceClaim claim = claimInstance(dataFolder, runtime, command);
    if (claim.outcome == InstanceClaim::Outcome::Forwarded)
        return command.empty() ? 0 : reportAnswer(claim.answer);
    if (claim.outcome == InstanceClaim::Outcome::Refused && !command.empty()) {
        // Asked from a shortcut or a script: the terminal, if any, is where to say it.
        std::fprintf(stderr, "vyrelight: %s\n", claim.message.toLocal8Bit().constData());
        return 1;
    }
    if (claim.outcome == InstanceClaim::Outcome::Refused) {
        reportStartFailure(real.services().prompter, claim.message);
        return 1;
    }

    App app(real.services(), dataFolder);
    if (claim.outcome == InstanceClaim::Outcome::ReadOnly)
        app.setReadOnly();
    app.keepCaptions(CaptionCache::defaultFile());
    // A second start on the same folder: the configuration window comes forward.
    if (claim.server) {
        QObject::connect(claim.server.get(), &InstanceServer::comeForward, &app, [&app] { app.showConfig(0); });
        // --press, --toggle, --focus and --list from another start.
        claim.server->setCommandHandler([&app](const std::vector<std::string>& words) { return app.runCommand(words); });
    }
    // quit() has saved and closed every window: the process ends right there, from
    // inside whatever handler asked for it. Leaving through the event loop would let a
    // start-up message box, a fold or a menu handler that is still running carry on, on
    // windows that are gone, and an end asked for before exec() would never be seen.
    // The icons drawn since the last cache write are kept too, however soon the end comes.
    QObject::connect(&app, &App::finished, &qapp, [&real] { real.saveCache(); }, Qt::DirectConnection);
    // The socket goes with the process; a save that failed at the end is not a success.
    QObject::connect(&app, &App::finished, &qapp, [&app, &claim] {
        if (claim.server)
            claim.server->close();
        endProcess(app.endSaveFailed() ? 1 : 0);
    }, Qt::DirectConnection);

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalFds) == 0) {
        auto* notifier = new QSocketNotifier(signalFds[1], QSocketNotifier::Read, &qapp);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
            char c;
            [[maybe_unused]] auto n = ::read(signalFds[1], &c, 1);
            app.quit();
        });
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGHUP, &sa, nullptr);
    }
    // Logging out ends the session: save as "&Terminate" would.
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &app, [&app] { app.quit(); });
    QObject::connect(&qapp, &QCoreApplication::aboutToQuit, &app, [&app] { app.quit(); });

    if (!app.start())
        return 1;
    // No launcher ran: this one is it now, and carries out the command itself. Its
    // status goes to standard error, as the launcher goes on running.
    if (!command.empty()) {
        const int status = reportAnswer(app.runCommand(command));
        if (status != 0)
            std::fprintf(stderr, "vyrelight: the command failed (status %d); the launcher goes on running\n", status);
    }
    // The toolbars shown at start are up and painted well within this, as the caches
    // count on too; only then does every window take the program's icon.
    real.programIcon().setAfter(ProgramIconDelay);
    endProcess(QApplication::exec());
}
