#pragma once

#include "platform/IconSource.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class IconReader;

// Icons out of files on disk, through a list of readers chosen by a file's suffix and
// first bytes. Every answer is kept, so a file shared by many buttons is decoded once;
// a file that changes on disk (size, times, or another file put in its place) is read
// again. Each question costs one stat of the file, asked at every draw.
class FileIconSource final : public IconSource {
public:
    FileIconSource();
    ~FileIconSource() override;

    int count(const std::string& file) override;
    QImage draw(const std::string& file, int index0, int side = 16) override;

    // Adds a reader, asked after the ones already there.
    void addReader(std::unique_ptr<IconReader> reader);

private:
    struct Stamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modified = 0; // nanoseconds
        std::int64_t changed = 0;  // nanoseconds
        bool operator==(const Stamp&) const = default;
    };
    struct Known {
        Stamp stamp;
        const IconReader* reader = nullptr;
        bool readerChosen = false;
        std::optional<int> count;
        // By index and side; null images too: a missing icon is not looked for again.
        std::map<std::pair<int, int>, QImage> drawn;
    };

    Known& known(const std::string& file);
    const IconReader* readerFor(const std::string& file, Known& k);

    std::vector<std::unique_ptr<IconReader>> m_readers;
    std::map<std::string, Known> m_known;
};
