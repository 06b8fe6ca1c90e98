#pragma once

#include "formats/CaptionCacheFile.h"
#include "formats/RecordIndex.h"
#include "store/Result.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QTimer;

// What the toolbars' captions measured and how they looked in the plain state, kept
// from one run to the next in a file of the user's cache folder: a start whose captions
// are all kept lays them out and paints them without loading a single font (the font
// configuration, the font list and the first font engine are most of what a start with
// captions costs).
//
// Everything is kept under a key the strip makes of what it depends on (the caption,
// the font, the resolution, the colours...); the file as a whole is stamped with the
// font configuration's files and folders and the settings that change fonts, and serves
// nothing once any of them changed. What this run learns is written shortly after it
// was learned (the pictures are drawn then, off the path of the first paint) and at the
// end, replacing the file atomically; a damaged or foreign file is a miss and is
// written anew.
class CaptionCache {
public:
    explicit CaptionCache(std::string file);
    ~CaptionCache();
    CaptionCache(const CaptionCache&) = delete;
    CaptionCache& operator=(const CaptionCache&) = delete;

    // $XDG_CACHE_HOME/vyrelight/captions.cache, or ~/.cache/vyrelight/captions.cache.
    static std::string defaultFile();

    // True when the file holds captions drawn with the fonts as they are now. Asked once
    // per run, and answered from the files' dates and sizes alone: no font is loaded.
    bool fontsUnchanged();

    struct Measure {
        QString shown;      // the caption as painted, shortened when too long
        int width = 0;      // pixels
        int lineHeight = 0; // the font's, pixels
    };
    std::optional<Measure> measure(const QByteArray& key);
    void keepMeasure(const QByteArray& key, const Measure& measure);

    // The picture kept under key, in format; null when none is.
    QImage picture(const QByteArray& key, QImage::Format format);
    // Keeps the picture render draws, drawn when the cache is next written.
    void keepPicture(const QByteArray& key, std::function<QImage()> render);

    bool unsaved() const { return !m_measures.isEmpty() || !m_pictures.isEmpty() || !m_pending.empty(); }
    // Draws the pictures still to draw and writes the file, unless nothing is new; a
    // failure, with its reason, when the file could not be written.
    Result<void> save();

    // The stamp of the given files and folders, as they are now, with the settings that
    // change fonts. The running program's own is that of its font configuration's.
    static captioncache::Stamp stampOf(const std::vector<std::string>& paths);

    struct Room;

private:
    void read();
    void release();
    const captioncache::Record* find(const QByteArray& key, captioncache::Kind kind);
    // The first record of this key: of two records of one key, the first wins.
    std::optional<std::size_t> firstWith(std::string_view key) const;
    void saveSoon();

    std::string m_path;
    std::optional<bool> m_fontsUnchanged;
    // The file as read and its records, until written or released.
    bool m_read = false;
    QByteArray m_bytes;
    captioncache::File m_file;
    std::vector<std::uint8_t> m_state; // per record: 0 unchecked, 1 sound and used, 2 damaged
    RecordIndex m_index; // by the hash of each record's key
    // Learned in this run, not yet written.
    QHash<QByteArray, Measure> m_measures;
    QHash<QByteArray, QImage> m_pictures;
    std::vector<std::pair<QByteArray, std::function<QImage()>>> m_pending;
    std::unique_ptr<QTimer> m_saveTimer;
    // Where the pictures taken from the file are copied to, until full.
    std::shared_ptr<Room> m_room;
};
