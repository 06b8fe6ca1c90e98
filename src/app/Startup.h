#pragma once

#include "app/CommandLine.h"
#include "store/Result.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class InstanceLock;
class InstanceServer;
class Prompter;
struct RuntimeFolderChoice;

// The steps of a start that come before the toolbars, each giving the exit status when
// the program must end there. main() runs them in order.

// Answers --help, --version and --autostart, and refuses a command line it cannot
// follow (status 2). Nothing when the launcher is to run.
std::optional<int> answerCommandLine(const CommandLine& line, const char* program);

// Chooses Qt's window system before Qt starts: XWayland in a Wayland session, since the
// toolbars must place themselves. Nothing when a display is there to run on.
std::optional<int> chooseWindowSystem(const CommandLine& line, const char* program);
// Once Qt runs: takes back what chooseWindowSystem set in the environment, so programs
// the launcher starts pick their own window system (native Wayland ones included).
void forgetWindowSystemChoice();

// One launcher per data folder. The second start asks the first to come forward.
struct InstanceClaim {
    enum class Outcome {
        Claimed,   // this is the launcher: lock and server are held
        ReadOnly,  // the folder cannot be written: run without saving (no lock)
        Forwarded, // the running launcher came forward: end quietly
        Refused,   // message says why this start cannot go on
    };
    Outcome outcome{Outcome::Refused};
    std::shared_ptr<InstanceLock> lock;
    std::shared_ptr<InstanceServer> server;
    QString message;
    // For a command given to the running launcher: its answer (see commandWords).
    std::vector<std::string> answer;
};
// runtime: what runtimeFolder() chose before Qt started (Qt makes a missing runtime
// folder as it starts, which would hide that it was missing). Without a channel the
// launcher still runs; a second start then cannot bring it forward.
// command: the words of --press, --toggle, --focus or --list (commandWords), sent to a
// running launcher instead of asking it to come forward; empty: a plain start.
InstanceClaim claimInstance(const std::string& dataFolder, const RuntimeFolderChoice& runtime,
                            const std::vector<std::string>& command = {});

// The request for a running launcher that line asks for; empty when it asks for none.
std::vector<std::string> commandWords(const CommandLine& line);
// Writes an answer (status, output, errors) where it belongs and gives its exit status.
int reportAnswer(const std::vector<std::string>& answer);

// Says why the start ends: on standard error, and in a message box for a start from the
// desktop's menu, which has no terminal.
void reportStartFailure(Prompter& prompter, const QString& message);
