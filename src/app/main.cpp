#include "app/App.h"
#include "app/RealServices.h"
#include "platform/DataFolder.h"
#include "platform/InstanceLock.h"
#include "store/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

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

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv)
{
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "vyrelight: there is no display to show the toolbars on.\n"
                     "Run it under a virtual X server instead:\n"
                     "  xvfb-run -s \"-screen 0 1280x800x24\" %s\n",
                     argv[0]);
        return 1;
    }
    QApplication::setDesktopSettingsAware(true);
    QApplication qapp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    const std::string programFolder = QCoreApplication::applicationDirPath().toLocal8Bit().toStdString();
    const std::string dataFolder = FindDataFolder(programFolder);
    if (dataFolder.empty()) {
        QMessageBox::critical(nullptr, msg::ProgramTitle,
                              "There is no folder to keep the toolbars in: neither the program's "
                              "folder nor ~/.config/vyrelight can be written.");
        return 1;
    }
    InstanceLock lock(dataFolder);
    if (!lock.acquired() && lock.heldByOther()) {
        QMessageBox::warning(nullptr, msg::ProgramTitle,
                             QString("Vyrelight Toolbar is already running on the toolbars in\n%1")
                                 .arg(QString::fromLocal8Bit(dataFolder)));
        return 1;
    }

    RealServices real;
    App app(real.services(), dataFolder);
    // No lock file can be made: the folder holds the toolbars but cannot be written. They
    // are shown all the same, and nothing is saved (so two such runs cannot clash).
    if (!lock.acquired())
        app.setReadOnly();
    // Terminate has saved and closed every window: the process ends right there, from
    // inside whatever handler asked for it. Leaving through the event loop would let a
    // start-up message box, a fold or a menu handler that is still running carry on, on
    // windows that are gone, and an end asked for before exec() would never be seen.
    QObject::connect(&app, &App::terminated, &qapp, [] { endProcess(0); }, Qt::DirectConnection);

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalFds) == 0) {
        auto* notifier = new QSocketNotifier(signalFds[1], QSocketNotifier::Read, &qapp);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
            char c;
            [[maybe_unused]] auto n = ::read(signalFds[1], &c, 1);
            app.Terminate();
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
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &app, [&app] { app.Terminate(); });
    QObject::connect(&qapp, &QCoreApplication::aboutToQuit, &app, [&app] { app.Terminate(); });

    if (!app.Main())
        return 1;
    endProcess(QApplication::exec());
}
