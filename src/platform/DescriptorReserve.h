#pragma once

#include <vector>

// A few file descriptors held back from the start, so that the save at the end still
// works when something has used up all the others (a flood of connections, a leak in
// a library): release() gives them back just before that save.
class DescriptorReserve {
public:
    explicit DescriptorReserve(int count = 4);
    ~DescriptorReserve();
    DescriptorReserve(const DescriptorReserve&) = delete;
    DescriptorReserve& operator=(const DescriptorReserve&) = delete;

    void release();
    int held() const { return static_cast<int>(m_fds.size()); }

private:
    std::vector<int> m_fds;
};
