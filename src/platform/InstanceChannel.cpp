#include "platform/InstanceChannel.h"

#include "platform/BaseDirectories.h"
#include "store/Paths.h"
#include "platform/Log.h"
#include "formats/WordFrame.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <string_view>
#include <vector>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char Request[] = "forward\n";
constexpr char Answer[] = "ok\n";
constexpr int ConnectRetryMs = 50;

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string systemError()
{
    return std::strerror(errno);
}

// Sends all of bytes, waiting up to timeoutMs whenever the socket is full. The socket
// may block or not: each send only takes what fits now.
Result<void> sendWhole(int fd, std::string_view bytes, int timeoutMs)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            done += std::size_t(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return Failure{systemError()};
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return Failure{"cut short"};
    }
    return {};
}

// Makes path and the folders above it that are missing, each with mode; true when path
// is a folder at the end.
bool makeFolders(const std::string& path, mode_t mode)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash), mode))
        return false;
    return ::mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

bool fillAddress(const std::string& path, sockaddr_un& addr)
{
    addr = sockaddr_un{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof(addr.sun_path))
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Connects to the launcher listening at path. One that has just taken the lock listens a
// moment later: a refused connection is tried again for a while (up to a second). So is
// a full queue of connections: the socket does not block, or a flooded launcher would
// hold the asker forever.
Result<int> connectTo(const std::string& path, int timeoutMs)
{
    sockaddr_un addr;
    if (!fillAddress(path, addr))
        return Failure{"The path " + path + " is too long for a socket."};
    for (int waited = 0;; waited += ConnectRetryMs) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return Failure{systemError()};
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0)
            return fd;
        const std::string why = systemError();
        ::close(fd);
        if (waited + ConnectRetryMs > std::min(timeoutMs, 1000))
            return Failure{"no launcher listens at " + path + ": " + why};
        ::usleep(ConnectRetryMs * 1000);
    }
}

// FNV-1a: a short, stable name for a data folder's path.
std::string folderTag(const std::string& folder)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const unsigned char c : folder) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

} // namespace

Result<std::string> privateFolder(const std::string& folder, const std::string& what)
{
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return Failure{what + " " + folder + " cannot be used: " + systemError() + "."};
    if (!S_ISDIR(st.st_mode))
        return Failure{what + " " + folder + " is not a folder."};
    if (st.st_uid != ::getuid())
        return Failure{what + " " + folder + " belongs to another user."};
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return Failure{what + " " + folder + " can be written by other users."};
    return folder;
}

RuntimeFolderChoice chooseRuntimeFolder(const std::string& xdgRuntimeDir, const std::string& xdgCacheHome,
                                        const std::string& home)
{
    RuntimeFolderChoice choice;
    if (!xdgRuntimeDir.empty()) {
        const Result<std::string> runtime = isAbsolutePath(xdgRuntimeDir)
            ? privateFolder(xdgRuntimeDir, "The runtime folder (XDG_RUNTIME_DIR)")
            : Result<std::string>(Failure{"The runtime folder (XDG_RUNTIME_DIR) " + xdgRuntimeDir
                                          + " is not an absolute path."});
        if (runtime) {
            choice.folder = runtime.value();
            return choice;
        }
        choice.note = runtime.reason() + " ";
    }
    // Without a session's runtime folder, one in the user's own cache folder. Not one in
    // /tmp: its name would be known, and anybody could make it first.
    std::string cache;
    if (isAbsolutePath(xdgCacheHome))
        cache = xdgCacheHome;
    else if (isAbsolutePath(home))
        cache = home + "/.cache";
    if (cache.empty()) {
        choice.note += "There is no cache folder for the launcher's socket: HOME is not set.";
        return choice;
    }
    const std::string folder = cache + "/vyrelight";
    if (!makeFolders(cache, 0700) || (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)) {
        choice.note += "The folder " + folder + " cannot be made: " + systemError() + ".";
        return choice;
    }
    const Result<std::string> own = privateFolder(folder, "The folder for the launcher's socket");
    if (!own) {
        choice.note += own.reason();
        return choice;
    }
    choice.folder = own.value();
    if (!choice.note.empty())
        choice.note += "The socket is in " + folder + " instead.";
    return choice;
}

RuntimeFolderChoice runtimeFolder()
{
    return chooseRuntimeFolder(environmentValue("XDG_RUNTIME_DIR"), environmentValue("XDG_CACHE_HOME"),
                               environmentValue("HOME"));
}

std::string channelPath(const std::string& runtimeFolder, const std::string& dataFolder)
{
    return runtimeFolder + "/vyrelight-" + folderTag(dataFolder) + ".sock";
}

Result<void> askToComeForward(const std::string& path, int timeoutMs)
{
    const Result<int> connected = connectTo(path, timeoutMs);
    if (!connected)
        return Failure{connected.reason()};
    const int fd = connected.value();
    std::string got;
    const Result<void> sent = sendWhole(fd, std::string_view(Request, sizeof Request - 1), timeoutMs);
    if (sent) {
        pollfd p{fd, POLLIN, 0};
        while (got.find('\n') == std::string::npos && ::poll(&p, 1, timeoutMs) > 0) {
            char buf[16];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, std::size_t(n));
        }
    }
    ::close(fd);
    if (!sent)
        return Failure{"the request could not be sent: " + sent.reason()};
    if (got != Answer)
        return Failure{"the launcher at " + path + " did not answer"};
    return {};
}

Result<std::vector<std::string>> askLauncher(const std::string& path, const std::vector<std::string>& request,
                                             int timeoutMs)
{
    const Result<int> connected = connectTo(path, timeoutMs);
    if (!connected)
        return Failure{connected.reason()};
    const int fd = connected.value();
    std::optional<std::vector<std::string>> answer;
    const Result<void> sent = sendWhole(fd, encodeWords(request), timeoutMs);
    if (sent) {
        std::string got;
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, timeoutMs) > 0) {
            char buf[4096];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, std::size_t(n));
            DecodedWords words = decodeWords(got);
            if (words.state == DecodedWords::State::Done)
                answer = std::move(words.words);
            if (words.state != DecodedWords::State::More)
                break;
        }
    }
    ::close(fd);
    if (!sent)
        return Failure{"the command could not be sent: " + sent.reason()};
    if (!answer)
        return Failure{"the launcher at " + path + " did not answer"};
    return std::move(*answer);
}

Result<std::unique_ptr<InstanceServer>> InstanceServer::listen(const std::string& path)
{
    return listen(path, Limits{});
}

Result<std::unique_ptr<InstanceServer>> InstanceServer::listen(const std::string& path, Limits limits)
{
    sockaddr_un addr;
    if (!fillAddress(path, addr))
        return Failure{"The path " + path + " is too long for a socket."};
    // A socket left by a launcher that crashed; anything else there is not ours to remove.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode))
            return Failure{path + " is in the way of the launcher's socket and is not one."};
        ::unlink(path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Failure{"No socket can be made: " + systemError() + "."};
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        const std::string why = systemError();
        ::close(fd);
        return Failure{"The launcher cannot listen at " + path + ": " + why + "."};
    }
    return std::unique_ptr<InstanceServer>(new InstanceServer(fd, path, limits));
}

InstanceServer::InstanceServer(int fd, std::string path, Limits limits)
    : m_fd(fd)
    , m_path(std::move(path))
    , m_limits(limits)
    , m_spare(::open("/dev/null", O_RDONLY | O_CLOEXEC))
{
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { accept(); });
    // Runs only while peers are connected: an idle launcher has no timer to wake it.
    m_idleTimer = new QTimer(this);
    m_idleTimer->setSingleShot(true);
    connect(m_idleTimer, &QTimer::timeout, this, [this] { dropIdle(); });
    m_resume = new QTimer(this);
    m_resume->setSingleShot(true);
    connect(m_resume, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
    });
}

InstanceServer::~InstanceServer()
{
    close();
}

void InstanceServer::close()
{
    if (m_fd < 0)
        return;
    for (auto& [fd, peer] : m_peers) {
        delete peer.notifier;
        ::close(fd);
    }
    m_peers.clear();
    delete m_notifier;
    m_notifier = nullptr;
    m_idleTimer->stop();
    m_resume->stop();
    ::close(m_fd);
    m_fd = -1;
    if (m_spare >= 0)
        ::close(m_spare);
    m_spare = -1;
    ::unlink(m_path.c_str());
}

void InstanceServer::accept()
{
    // A burst of connections is taken in one wake-up, but never without end.
    for (int taken = 0; taken < 64 && m_fd >= 0; ++taken) {
        const int peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer >= 0) {
            take(peer);
            continue;
        }
        switch (errno) {
        case EINTR:
        case ECONNABORTED:
            continue;
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return;
        case EMFILE:
        case ENFILE:
            // Out of descriptors. Our own peers go first: the one waiting longest makes
            // room. Otherwise the spare descriptor lets the waiting connection be taken
            // and closed, so that it stops waking the loop.
            if (!m_peers.empty()) {
                dropOldest();
                continue;
            }
            if (m_spare >= 0) {
                ::close(m_spare);
                const int refused = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
                if (refused >= 0)
                    ::close(refused);
                m_spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
            }
            pause();
            return;
        default:
            // ENOBUFS, ENOMEM and the like: the same connection would wake the loop again
            // at once.
            pause();
            return;
        }
    }
}

void InstanceServer::pause()
{
    if (!m_notifier || m_resume->isActive())
        return;
    qCWarning(lcVyre, "the launcher's socket rests for %d ms: %s", m_limits.pauseMs, std::strerror(errno));
    m_notifier->setEnabled(false);
    m_resume->start(m_limits.pauseMs);
}

void InstanceServer::take(int peer)
{
    // The folder is the user's own, but the request must come from the user too.
    ucred cred{};
    socklen_t length = sizeof cred;
    if (::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || cred.uid != ::getuid()) {
        ::close(peer);
        return;
    }
    while (static_cast<int>(m_peers.size()) >= std::max(1, m_limits.maxPeers))
        dropOldest();
    auto* notifier = new QSocketNotifier(peer, QSocketNotifier::Read, this);
    m_peers[peer] = Peer{notifier, nowMs() + m_limits.idleMs, {}};
    connect(notifier, &QSocketNotifier::activated, this, [this, peer] { readFrom(peer); });
    armIdleTimer();
}

void InstanceServer::readFrom(int fd)
{
    const auto it = m_peers.find(fd);
    if (it == m_peers.end())
        return;
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        drop(fd);
        return;
    }
    std::string& got = it->second.got;
    got.append(buf, std::size_t(n));
    const std::string_view request(Request, sizeof Request - 1);
    // The plain request is one short line.
    if (got == request) {
        // The asker only learns that it was heard; this launcher comes forward either way.
        if (const Result<void> sent = sendWhole(fd, std::string_view(Answer, sizeof Answer - 1), 0); !sent)
            qCWarning(lcVyre, "a second start asked, but the answer could not be sent: %s", sent.reason().c_str());
        drop(fd);
        emit comeForward();
        return;
    }
    if (request.substr(0, got.size()) == got)
        return; // the rest of the line is on its way
    // A command: counted words, which may come in pieces until the frame is whole.
    const DecodedWords words = decodeWords(got);
    if (words.state == DecodedWords::State::More && got.size() < MaxFrameBytes)
        return;
    if (words.state != DecodedWords::State::Done || !m_commands) {
        drop(fd);
        return;
    }
    const std::string reply = encodeWords(m_commands(words.words));
    // The asker waits for the answer and reads it at once; a stalled one is let go.
    if (const Result<void> sent = sendWhole(fd, reply, 1000); !sent)
        qCWarning(lcVyre, "the answer to a command could not be sent: %s", sent.reason().c_str());
    drop(fd);
}

void InstanceServer::drop(int fd)
{
    if (auto it = m_peers.find(fd); it != m_peers.end()) {
        it->second.notifier->setEnabled(false);
        it->second.notifier->deleteLater();
        m_peers.erase(it);
    }
    ::close(fd);
    armIdleTimer();
}

void InstanceServer::dropOldest()
{
    const auto oldest = std::min_element(m_peers.begin(), m_peers.end(), [](const auto& a, const auto& b) {
        return a.second.deadline < b.second.deadline;
    });
    if (oldest != m_peers.end())
        drop(oldest->first);
}

void InstanceServer::dropIdle()
{
    const qint64 now = nowMs();
    std::vector<int> idle;
    for (const auto& [fd, peer] : m_peers)
        if (peer.deadline <= now)
            idle.push_back(fd);
    for (const int fd : idle)
        drop(fd);
    armIdleTimer();
}

void InstanceServer::armIdleTimer()
{
    if (m_peers.empty()) {
        m_idleTimer->stop();
        return;
    }
    qint64 first = m_peers.begin()->second.deadline;
    for (const auto& [fd, peer] : m_peers)
        first = std::min(first, peer.deadline);
    m_idleTimer->start(static_cast<int>(std::clamp<qint64>(first - nowMs(), 0, m_limits.idleMs)));
}
