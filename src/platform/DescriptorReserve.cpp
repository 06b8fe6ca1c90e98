#include "platform/DescriptorReserve.h"

#include <fcntl.h>
#include <unistd.h>

DescriptorReserve::DescriptorReserve(int count)
{
    for (int i = 0; i < count; ++i)
        if (const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0)
            m_fds.push_back(fd);
}

DescriptorReserve::~DescriptorReserve()
{
    release();
}

void DescriptorReserve::release()
{
    for (const int fd : m_fds)
        ::close(fd);
    m_fds.clear();
}
