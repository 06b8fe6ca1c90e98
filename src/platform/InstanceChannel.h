#pragma once

#include "store/Result.h"

#include <QObject>

#include <map>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSocketNotifier;
class QTimer;

// How a second start reaches the launcher already running on the same data folder: a
// unix socket in the user's runtime folder, named after the data folder. The second
// one asks, the first one opens its configuration window and answers.

// Where the socket lives, and what was passed over on the way, for the log.
struct RuntimeFolderChoice {
    std::string folder; // empty: no private folder could be found, so no channel
    std::string note;   // why $XDG_RUNTIME_DIR or the fallback was not taken; empty when all went well
};

// $XDG_RUNTIME_DIR when it is set, absolute, there, the user's own and written by nobody
// else; otherwise a private folder in the user's cache folder ($XDG_CACHE_HOME/vyrelight,
// ~/.cache/vyrelight), made 0700 when missing and checked the same way. Nothing in /tmp,
// where anyone could make the folder first.
RuntimeFolderChoice chooseRuntimeFolder(const std::string& xdgRuntimeDir, const std::string& xdgCacheHome,
                                        const std::string& home);
// The same, for this process's environment.
RuntimeFolderChoice runtimeFolder();
// The folder is a folder of this user's own that nobody else can write into (not even
// the group), not a link; the failure says why, naming it as what.
Result<std::string> privateFolder(const std::string& folder, const std::string& what);

// The socket's path in runtimeFolder for the launcher on dataFolder.
std::string channelPath(const std::string& runtimeFolder, const std::string& dataFolder);

// Asks the launcher listening at path to come forward; the failure says whether none
// listens, the request could not be sent or no answer came in time.
Result<void> askToComeForward(const std::string& path, int timeoutMs);

// Sends a command (counted words, see WordFrame.h) to the launcher listening at path and
// waits for its answer; fails as askToComeForward does.
Result<std::vector<std::string>> askLauncher(const std::string& path, const std::vector<std::string>& request,
                                             int timeoutMs);

// The running launcher's end. Listening replaces what a crashed launcher left at the
// path: only the holder of the data folder's lock listens, so no one else can be there.
//
// A launcher runs all day, so what connects cannot wear it down: a peer that has not
// asked within a short time is dropped, only a few peers are held at once (a new one
// pushes out the one waiting longest), and when the process runs out of descriptors
// the server pauses instead of being woken again and again by the same waiting
// connection.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int maxPeers{16};
        int idleMs{2000};   // a peer that has not asked by then is dropped
        int pauseMs{250};   // how long accepting rests after running out of descriptors
    };

    static Result<std::unique_ptr<InstanceServer>> listen(const std::string& path);
    static Result<std::unique_ptr<InstanceServer>> listen(const std::string& path, Limits limits);
    ~InstanceServer() override;

    // Stops listening, lets every peer go and removes the socket file. The end of the
    // process calls it (the process ends without running destructors); later calls do
    // nothing.
    void close();
    // Carries out a command another process sent, giving the words of the answer.
    using CommandHandler = std::function<std::vector<std::string>(const std::vector<std::string>&)>;
    void setCommandHandler(CommandHandler handler) { m_commands = std::move(handler); }
    // How many peers are connected now.
    int peerCount() const { return static_cast<int>(m_peers.size()); }

signals:
    // Another start asked this launcher to come forward.
    void comeForward();

private:
    struct Peer {
        QSocketNotifier* notifier{};
        qint64 deadline{}; // ms on m_clock
        std::string got;   // what the peer sent so far
    };

    InstanceServer(int fd, std::string path, Limits limits);
    void accept();
    void take(int peer);
    void readFrom(int fd);
    void drop(int fd);
    void dropOldest();
    void dropIdle();
    void pause();
    void armIdleTimer();

    int m_fd{-1};
    std::string m_path;
    Limits m_limits;
    QSocketNotifier* m_notifier{};
    QTimer* m_idleTimer{};
    QTimer* m_resume{};
    // Kept open to be given up when the descriptors run out: it lets one waiting
    // connection be taken and closed, so it stops waking the loop.
    int m_spare{-1};
    std::map<int, Peer> m_peers;
    CommandHandler m_commands;
};
