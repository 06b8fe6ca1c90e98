#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// A regular file's bytes, mapped read-only. Only the pages looked at are ever read, so a
// reader that needs a directory near the end of a large file reads little of it. Anything
// but a regular file (a folder, a pipe, a device) is refused before it is opened, and
// opened without waiting, so nothing blocks; an empty file maps to no bytes.
class MappedFile {
public:
    explicit MappedFile(const std::string& path, std::size_t limit = std::size_t(1) << 31);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }
    bool empty() const { return m_size == 0; }

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};
