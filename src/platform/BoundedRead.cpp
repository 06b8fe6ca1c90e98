#include "platform/BoundedRead.h"

#include <QFile>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files from this size up (the caches, of a megabyte) have the room they are read into made
// present in one call before the read: left to the read, the kernel takes a fault for
// each fresh page of it, which costs more than copying the page. Smaller files fit in
// pages the allocator has already touched.
constexpr qint64 PrefaultFrom = 64 * 1024;

} // namespace

QByteArray readBounded(const QString& path, qint64 limit)
{
    if (path.isEmpty() || limit <= 0)
        return {};
    const QByteArray name = QFile::encodeName(path);
    if (name.contains('\0'))
        return {};
    // Only plain files: opening a pipe or a device would block or never end. Looked at
    // before opening (opening some devices does things), and again once open, in case
    // something else was put at the path in between; O_NONBLOCK keeps that open from
    // waiting on a pipe.
    struct stat st{};
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    QByteArray bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size <= limit) {
        // Room for the measured size and one byte more, so a file that grew since is
        // noticed, rather than for the whole limit: most icons are a few hundred bytes.
        const qint64 room = qint64(st.st_size) + 1;
        bytes.resize(room);
        if (room >= PrefaultFrom)
            makePresent(bytes.data(), std::size_t(room));
        qint64 got = 0;
        while (got < room) {
            const ssize_t n = ::read(fd, bytes.data() + got, std::size_t(room - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        // Grown past what was measured: read again at the next draw, once settled.
        if (got <= 0 || got > st.st_size)
            bytes.clear();
        else
            bytes.truncate(got);
    }
    ::close(fd);
    return bytes;
}

void makePresent(void* data, std::size_t size)
{
#ifdef MADV_POPULATE_WRITE
    const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    if (page == 0 || (page & (page - 1)) != 0)
        return;
    // The whole pages inside the room (those at its ends hold other allocations too, and
    // are most likely present already). Kernels before 5.14 refuse the call (EINVAL): the
    // pages are then faulted in as they are first written, as they always were.
    const std::uintptr_t begin = (std::uintptr_t(data) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (std::uintptr_t(data) + std::uintptr_t(size)) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}
