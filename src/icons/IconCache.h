#pragma once

#include "formats/IconCacheFile.h"
#include "formats/RecordIndex.h"
#include "store/Result.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Pictures decoded by an earlier run, kept in one file in the user's cache folder, so
// that a start shows its icons without decoding them again. The file is read once, on
// the first question, and each picture is checked when it is first used: a damaged one
// is a miss and is decoded again. New pictures are kept in memory until save(), which
// replaces the file atomically; a file that is damaged or of another version is simply
// written anew.
class IconCache {
public:
    explicit IconCache(std::string file);
    ~IconCache();

    // $XDG_CACHE_HOME/vyrelight/icons.cache, or ~/.cache/vyrelight/icons.cache.
    static std::string defaultFile();

    // The picture kept for key: an image, a null image for "that file has no such icon",
    // or nothing when the cache does not know (or what it holds is damaged).
    std::optional<QImage> find(const iconcache::Key& key);
    // Keeps what was drawn for key, a null image included; anything but a square of
    // key.side is not kept.
    void store(iconcache::Key key, const QImage& image);

    bool unsaved() const { return m_unsaved; }
    // Writes the file: this run's pictures first, then what the old file held that is
    // still sound, up to a limit. A failure, with its reason, when the file could not be
    // written (a cache that is not a regular file is never replaced).
    Result<void> save();

private:
    void load();

    std::string m_file;
    bool m_loaded = false;
    bool m_unsaved = false;
    QByteArray m_bytes; // the file as read; the records point into it, the pictures shown share it
    std::vector<iconcache::Record> m_records;
    std::vector<std::uint8_t> m_state; // per record: 0 unchecked, 1 sound, 2 damaged
    RecordIndex m_index; // by indexKey()
    // Kept as drawn (the image is shared, not copied) and turned into bytes by save(),
    // after the start rather than during it.
    struct Fresh {
        iconcache::Key key;
        QImage image;
    };
    std::vector<Fresh> m_fresh;
    std::unordered_map<std::uint64_t, std::size_t> m_freshIndex;
};
