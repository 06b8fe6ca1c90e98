#include "platform/InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

InstanceLock::InstanceLock(const std::string& dataFolder)
{
    const std::string path = dataFolder + "/.vyrelight.lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    if (::fcntl(fd, F_SETLK, &fl) != 0) {
        m_heldByOther = (errno == EACCES || errno == EAGAIN);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
