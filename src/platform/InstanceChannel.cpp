#include "platform/InstanceChannel.h"

#include <QSocketNotifier>

#include <algorithm>

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

std::string systemError()
{
    return std::strerror(errno);
}

// The folder is this user's own directory, and nobody else may write into it.
Result<std::string> checkOwn(const std::string& folder, const std::string& what)
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

bool fillAddress(const std::string& path, sockaddr_un& addr)
{
    addr = sockaddr_un{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof(addr.sun_path))
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
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

Result<std::string> RuntimeFolder()
{
    if (const char* set = std::getenv("XDG_RUNTIME_DIR"); set && *set)
        return checkOwn(set, "The runtime folder (XDG_RUNTIME_DIR)");
    // Without a session's runtime folder, one of the user's own in /tmp.
    const std::string folder = "/tmp/vyrelight-runtime-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Failure{"The runtime folder " + folder + " cannot be made: " + systemError() + "."};
    return checkOwn(folder, "The runtime folder");
}

std::string ChannelPath(const std::string& runtimeFolder, const std::string& dataFolder)
{
    return runtimeFolder + "/vyrelight-" + folderTag(dataFolder) + ".sock";
}

bool AskToComeForward(const std::string& path, int timeoutMs)
{
    sockaddr_un addr;
    if (!fillAddress(path, addr))
        return false;
    // A launcher that has just taken the lock listens a moment later: a refused
    // connection is tried again for a while (up to a second).
    int fd = -1;
    for (int waited = 0;; waited += ConnectRetryMs) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0)
            break;
        ::close(fd);
        fd = -1;
        if (waited + ConnectRetryMs > std::min(timeoutMs, 1000))
            return false;
        ::usleep(ConnectRetryMs * 1000);
    }
    bool answered = false;
    if (::send(fd, Request, sizeof Request - 1, MSG_NOSIGNAL) == ssize_t(sizeof Request - 1)) {
        std::string got;
        pollfd p{fd, POLLIN, 0};
        while (got.find('\n') == std::string::npos && ::poll(&p, 1, timeoutMs) > 0) {
            char buf[16];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, std::size_t(n));
        }
        answered = got == Answer;
    }
    ::close(fd);
    return answered;
}

Result<std::unique_ptr<InstanceServer>> InstanceServer::listen(const std::string& path)
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
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        const std::string why = systemError();
        ::close(fd);
        return Failure{"The launcher cannot listen at " + path + ": " + why + "."};
    }
    return std::unique_ptr<InstanceServer>(new InstanceServer(fd, path));
}

InstanceServer::InstanceServer(int fd, std::string path)
    : m_fd(fd)
    , m_path(std::move(path))
{
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { accept(); });
}

InstanceServer::~InstanceServer()
{
    for (auto& [fd, notifier] : m_peers) {
        delete notifier;
        ::close(fd);
    }
    delete m_notifier;
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

void InstanceServer::accept()
{
    const int peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (peer < 0)
        return;
    // The folder is the user's own, but the request must come from the user too.
    ucred cred{};
    socklen_t length = sizeof cred;
    if (::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || cred.uid != ::getuid()) {
        ::close(peer);
        return;
    }
    auto* notifier = new QSocketNotifier(peer, QSocketNotifier::Read, this);
    m_peers[peer] = notifier;
    connect(notifier, &QSocketNotifier::activated, this, [this, peer] { readFrom(peer); });
}

void InstanceServer::readFrom(int fd)
{
    char buf[64];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // The request is one short line, sent at once; anything else ends the talk.
    const bool asked = n == ssize_t(sizeof Request - 1) && std::memcmp(buf, Request, std::size_t(n)) == 0;
    if (asked) {
        [[maybe_unused]] auto sent = ::send(fd, Answer, sizeof Answer - 1, MSG_NOSIGNAL);
    }
    drop(fd);
    if (asked)
        emit comeForward();
}

void InstanceServer::drop(int fd)
{
    if (auto it = m_peers.find(fd); it != m_peers.end()) {
        it->second->setEnabled(false);
        it->second->deleteLater();
        m_peers.erase(it);
    }
    ::close(fd);
}
