#pragma once

#include <string>

// One running launcher per data folder: two would overwrite each other's saves. The
// lock is an fcntl lock on a file in the folder, so it vanishes with the process even
// when it is killed.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& dataFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the folder (or the lock file cannot be made).
    bool acquired() const { return m_fd >= 0; }
    // Why acquiring failed: another instance, or an error opening the lock file.
    bool heldByOther() const { return m_heldByOther; }

private:
    int m_fd{-1};
    bool m_heldByOther{false};
};
