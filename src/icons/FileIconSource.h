#pragma once

#include "icons/IconReader.h"
#include "platform/IconSource.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QString>

class IconCache;
class IconTheme;
class QTimer;

// Icons out of files on disk, through a list of readers chosen by a file's content (and
// its suffix where the content does not speak): pictures, icon files, Windows programs
// and libraries, .desktop entries, programs, folders of pictures and icon theme names.
// Every answer is kept, so a file shared by many buttons is decoded once; a file that
// changes on disk (size, times, or another file put in its place) is read again. A file
// is looked at once per pass: from its first question until the program's event loop
// next runs (a start, or the rebuild of a toolbar, asks about each file as many times as
// buttons show it), so a change is seen at the next build, never in the middle of one.
//
// With a cache file, pictures decoded by an earlier run are taken from it instead of
// being decoded again, and new ones are written to it shortly after they are drawn.
class FileIconSource final : public IconSource {
public:
    FileIconSource();
    ~FileIconSource() override;

    int count(const std::string& file) override;
    QImage draw(const std::string& file, int index0, int side = 16) override;
    QImage drawTarget(const std::string& target, int side = 16) override;
    QStringList themeNames() override;

    // Adds a reader, asked after the ones already there.
    void addReader(std::unique_ptr<IconReader> reader);
    // Keeps decoded pictures in this file from now on (see IconCache).
    void useCache(const std::string& cacheFile);
    // Writes what is new to the cache file now rather than shortly.
    void saveCache();

private:
    struct Stamp {
        bool exists = false;
        bool folder = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modified = 0; // nanoseconds
        std::int64_t changed = 0;  // nanoseconds
        bool operator==(const Stamp&) const = default;
    };
    struct Known {
        Stamp stamp;
        std::uint64_t pass = 0; // the pass stamp was taken in
        const IconReader* reader = nullptr;
        bool readerChosen = false;
        std::optional<int> count;
        // By index and side; null images too: a missing icon is not looked for again.
        std::map<std::pair<int, int>, QImage> drawn;
        // For a file that names another file's icon: what it names, by index and side.
        std::map<std::pair<int, int>, std::optional<IconReader::Reference>> referred;
        // What the file shows as a button's target, by side (drawTarget).
        std::map<int, QImage> asTarget;
    };

    Known& known(const std::string& file);
    std::uint64_t currentPass();
    const IconReader* readerFor(const std::string& file, Known& k);
    QImage drawReferred(const IconReader& reader, Known& k, const std::string& file, int index0, int side);

    QString themeFile(const QString& name, int side);

    std::shared_ptr<IconTheme> m_theme;
    // Theme names looked up for targets, by name and side: a lookup tries many files.
    std::map<std::pair<QString, int>, QString> m_themeFiles;
    std::vector<std::unique_ptr<IconReader>> m_readers;
    // By path, hashed: the paths of a set's icons share long beginnings, which a tree
    // would compare again at every step. Nodes stay put, so a Known stays valid while
    // drawing one file asks about another.
    std::unordered_map<std::string, Known> m_known;
    std::unique_ptr<IconCache> m_cache;
    std::unique_ptr<QTimer> m_saveTimer;
    // Runs out as soon as the event loop runs: the end of the pass.
    std::unique_ptr<QTimer> m_passTimer;
    std::uint64_t m_pass = 0;
    int m_depth = 0;
};
