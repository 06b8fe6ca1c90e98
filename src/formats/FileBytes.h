#pragma once

#include "formats/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A regular file read piece by piece, as a parser asks for its bytes, and never mapped:
// another process may cut the file short at any time, and a mapping would then kill the
// program at its next look past the new end. Here a read past the end just fails.
// Anything but a regular file (a folder, a pipe, a device) is refused before it is
// opened, and opened without waiting, so nothing blocks. What one object reads from
// the disk is bounded; past that, reads fail too.
class FileBytes final : public ByteSource {
public:
    explicit FileBytes(const std::string& path, std::size_t limit = std::size_t(1) << 31);
    ~FileBytes() override;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::size_t size() const override { return m_size; }
    bool read(std::size_t offset, std::size_t n, std::uint8_t* out) override;

    // The whole of a regular file of at most limit bytes; empty for anything else.
    static std::string readWhole(const std::string& path, std::size_t limit);

private:
    const std::vector<std::uint8_t>* chunk(std::size_t index);

    int m_fd = -1;
    std::size_t m_size = 0;
    std::size_t m_readFromDisk = 0;
    std::unordered_map<std::size_t, std::vector<std::uint8_t>> m_chunks;
};
