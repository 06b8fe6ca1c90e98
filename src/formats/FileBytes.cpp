#include "formats/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;
// Chunks kept at once: a resource directory and its pictures fit well within it.
constexpr std::size_t MaxChunks = 128;
// Far more than the directories and pictures of any real program; a file that makes a
// parser read more is giving it work, not icons.
constexpr std::size_t MaxDiskBytes = std::size_t(64) << 20;

int openRegular(const std::string& path, struct stat& st)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return -1;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    // Looked at again once open: something else may have been put at the path meanwhile.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Up to n bytes at offset; how many were read (fewer at the end of a shrunken file).
std::size_t readAt(int fd, std::size_t offset, std::size_t n, std::uint8_t* out)
{
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, out + got, n - got, off_t(offset + got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += std::size_t(r);
    }
    return got;
}

} // namespace

FileBytes::FileBytes(const std::string& path, std::size_t limit)
{
    struct stat st{};
    m_fd = openRegular(path, st);
    if (m_fd < 0)
        return;
    if (st.st_size <= 0 || std::uint64_t(st.st_size) > limit) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_size = std::size_t(st.st_size);
}

FileBytes::~FileBytes()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

const std::vector<std::uint8_t>* FileBytes::chunk(std::size_t index)
{
    if (const auto it = m_chunks.find(index); it != m_chunks.end())
        return &it->second;
    const std::size_t offset = index * ChunkSize;
    const std::size_t want = std::min(ChunkSize, m_size - offset);
    if (m_fd < 0 || want > MaxDiskBytes - m_readFromDisk)
        return nullptr;
    m_readFromDisk += want;
    if (m_chunks.size() >= MaxChunks)
        m_chunks.clear();
    std::vector<std::uint8_t> bytes(want);
    bytes.resize(readAt(m_fd, offset, want, bytes.data()));
    return &m_chunks.emplace(index, std::move(bytes)).first->second;
}

bool FileBytes::read(std::size_t offset, std::size_t n, std::uint8_t* out)
{
    if (!has(offset, n))
        return false;
    while (n > 0) {
        const std::vector<std::uint8_t>* c = chunk(offset / ChunkSize);
        const std::size_t within = offset % ChunkSize;
        // A chunk cut short: the file shrank since it was measured.
        if (!c || within >= c->size())
            return false;
        const std::size_t take = std::min(n, c->size() - within);
        std::memcpy(out, c->data() + within, take);
        out += take;
        offset += take;
        n -= take;
    }
    return true;
}

std::string FileBytes::readWhole(const std::string& path, std::size_t limit)
{
    struct stat st{};
    const int fd = openRegular(path, st);
    if (fd < 0)
        return {};
    std::string bytes;
    if (st.st_size > 0 && std::uint64_t(st.st_size) <= limit) {
        bytes.resize(std::size_t(st.st_size));
        bytes.resize(readAt(fd, 0, bytes.size(), reinterpret_cast<std::uint8_t*>(bytes.data())));
    }
    ::close(fd);
    return bytes;
}
