#include "platform/BoundedRead.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
