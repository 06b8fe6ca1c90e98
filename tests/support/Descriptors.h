#pragma once

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

// Every descriptor the process may open is taken, as after a flood of connections, for
// as long as this lives. The limit is lowered to at most 512 first, so that takes no time;
// both are given back at the end.
class AllDescriptorsTaken {
public:
    AllDescriptorsTaken()
    {
        if (::getrlimit(RLIMIT_NOFILE, &m_limit) != 0)
            return;
        const rlimit low{std::min<rlim_t>(m_limit.rlim_cur, 512), m_limit.rlim_max};
        if (::setrlimit(RLIMIT_NOFILE, &low) != 0)
            return;
        m_lowered = true;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            m_taken.push_back(fd);
    }
    ~AllDescriptorsTaken() { giveBack(); }
    AllDescriptorsTaken(const AllDescriptorsTaken&) = delete;
    AllDescriptorsTaken& operator=(const AllDescriptorsTaken&) = delete;

    // Whether the process really ran out: a test that could not take them all shows nothing.
    bool taken() const { return m_lowered && !m_taken.empty(); }

    void giveBack()
    {
        for (const int fd : m_taken)
            ::close(fd);
        m_taken.clear();
        if (m_lowered)
            ::setrlimit(RLIMIT_NOFILE, &m_limit);
        m_lowered = false;
    }

private:
    rlimit m_limit{};
    bool m_lowered = false;
    std::vector<int> m_taken;
};
