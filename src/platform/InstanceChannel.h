#pragma once

#include "store/Result.h"

#include <QObject>

#include <map>
#include <memory>
#include <string>

class QSocketNotifier;

// How a second start reaches the launcher already running on the same data folder: a
// unix socket in the user's runtime folder, named after the data folder. The second
// one asks, the first one opens its configuration window and answers.

// The runtime folder: $XDG_RUNTIME_DIR, which must be there and be the user's own, or
// (when unset) a folder of the user's own under /tmp, made when missing.
Result<std::string> RuntimeFolder();

// The socket's path in runtimeFolder for the launcher on dataFolder.
std::string ChannelPath(const std::string& runtimeFolder, const std::string& dataFolder);

// Asks the launcher listening at path to come forward; true when it answered.
bool AskToComeForward(const std::string& path, int timeoutMs);

// The running launcher's end. Listening replaces what a crashed launcher left at the
// path: only the holder of the data folder's lock listens, so no one else can be there.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    static Result<std::unique_ptr<InstanceServer>> listen(const std::string& path);
    ~InstanceServer() override;

signals:
    // Another start asked this launcher to come forward.
    void comeForward();

private:
    InstanceServer(int fd, std::string path);
    void accept();
    void readFrom(int fd);
    void drop(int fd);

    int m_fd{-1};
    std::string m_path;
    QSocketNotifier* m_notifier{};
    std::map<int, QSocketNotifier*> m_peers;
};
