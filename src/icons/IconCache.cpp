#include "icons/IconCache.h"

#include "icons/IconReader.h"
#include "platform/BaseDirectories.h"

#include <QFile>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>

namespace {

// Far more than the pictures any set of toolbars shows; old pictures beyond it go.
constexpr std::size_t MaxRecords = 8192;
constexpr std::size_t MaxFileBytes = std::size_t(64) << 20;

// A look-up's key, hashed where it stands: the path is not copied for each question.
// Two keys of one hash are told apart by comparing the keys themselves, so a collision
// costs at most a miss, never a wrong picture.
std::uint64_t indexKey(const iconcache::Key& k)
{
    std::uint64_t h = std::hash<std::string_view>{}(k.path);
    for (const std::uint64_t n : {std::uint64_t(k.size), std::uint64_t(k.modified), std::uint64_t(k.changed), k.inode,
                                  std::uint64_t(std::uint32_t(k.index)) << 32 | std::uint32_t(k.side)})
        h = (h ^ n) * 0x9E3779B97F4A7C15ull ^ (h >> 31);
    return h;
}

// Keeps the file's bytes alive for as long as a picture shown from them lives.
void releaseBytes(void* bytes)
{
    delete static_cast<QByteArray*>(bytes);
}

// The picture of a sound record. Shown from the file's bytes where they lie (the file keeps
// each record's pixels on 32-bit words, in the order of the image's own): a start shows
// hundreds of them, and a copy of each costs memory and a fault per page of it. The bytes
// are never written: a picture painted on would be copied first, as a read-only image is.
QImage toImage(const QByteArray& file, int side, std::span<const std::uint8_t> pixels)
{
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        if (reinterpret_cast<std::uintptr_t>(pixels.data()) % alignof(QRgb) == 0) {
            auto kept = std::make_unique<QByteArray>(file);
            QImage image(pixels.data(), side, side, side * 4, QImage::Format_ARGB32_Premultiplied, releaseBytes,
                         kept.get());
            if (!image.isNull()) {
                kept.release(); // the image's now
                return image;
            }
        }
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    const std::size_t row = std::size_t(side) * 4;
    // 32-bit pixels leave no padding at a row's end: the rows are one run of bytes.
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        if (std::size_t(image.bytesPerLine()) == row) {
            std::memcpy(image.bits(), pixels.data(), row * std::size_t(side));
            return image;
        }
    }
    for (int y = 0; y < side; ++y) {
        const std::uint8_t* from = pixels.data() + std::size_t(y) * row;
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            std::memcpy(image.scanLine(y), from, row);
        } else {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < side; ++x, from += 4)
                line[x] = QRgb(from[0]) | QRgb(from[1]) << 8 | QRgb(from[2]) << 16 | QRgb(from[3]) << 24;
        }
    }
    return image;
}

// The picture's pixels as the file keeps them: premultiplied, top row first.
std::vector<std::uint32_t> pixelsOf(const QImage& image)
{
    std::vector<std::uint32_t> pixels;
    if (image.isNull())
        return pixels;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    pixels.reserve(std::size_t(argb.width()) * std::size_t(argb.height()));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        pixels.insert(pixels.end(), line, line + argb.width());
    }
    return pixels;
}

} // namespace

IconCache::IconCache(std::string file) : m_file(std::move(file)) {}

IconCache::~IconCache() = default;

std::string IconCache::defaultFile()
{
    return userCacheFile("icons.cache");
}

void IconCache::load()
{
    m_loaded = true;
    // Read whole into memory, never mapped: another launcher sharing the cache, or the
    // user, may cut the file short at any time, and a mapping of a shrunken file kills
    // the process at the next look at a page past its new end. A copy cannot change
    // under us; what it holds is still checked record by record.
    m_bytes = iconfile::readBounded(QFile::decodeName(QByteArray::fromStdString(m_file)), qint64(MaxFileBytes));
    m_records = iconcache::readRecords(
        {reinterpret_cast<const std::uint8_t*>(m_bytes.constData()), std::size_t(m_bytes.size())});
    m_state.assign(m_records.size(), 0);
    m_index = RecordIndex(m_records.size(), [&](std::size_t i) { return indexKey(m_records[i].key); });
}

std::optional<QImage> IconCache::find(const iconcache::Key& key)
{
    if (!m_loaded)
        load();
    const std::uint64_t k = indexKey(key);
    if (const auto f = m_freshIndex.find(k); f != m_freshIndex.end() && m_fresh[f->second].key == key)
        return m_fresh[f->second].image;
    // The first record of this hash: of two records of one key, the first wins.
    const auto found = m_index.of(k);
    if (found.empty())
        return std::nullopt;
    const iconcache::Record& r = m_records[found.front().second];
    std::uint8_t& state = m_state[found.front().second];
    if (state == 0)
        state = iconcache::intact(r) ? 1 : 2;
    // The checksum covers the key too, so a sound record is the picture of this key.
    if (state == 2 || !(r.key == key))
        return std::nullopt;
    if (r.pixels.empty())
        return QImage();
    return toImage(m_bytes, key.side, r.pixels);
}

void IconCache::store(iconcache::Key key, const QImage& image)
{
    if (key.side < 1 || key.side > iconcache::MaxSide)
        return;
    if (!image.isNull() && (image.width() != key.side || image.height() != key.side))
        return;
    const std::uint64_t k = indexKey(key);
    Fresh fresh{std::move(key), image};
    if (const auto f = m_freshIndex.find(k); f != m_freshIndex.end())
        m_fresh[f->second] = std::move(fresh);
    else {
        m_freshIndex.emplace(k, m_fresh.size());
        m_fresh.push_back(std::move(fresh));
    }
    m_unsaved = true;
}

Result<void> IconCache::save()
{
    if (!m_loaded)
        load();
    std::string out = iconcache::header();
    std::size_t written = 0;
    for (const Fresh& f : m_fresh) {
        if (written++ >= MaxRecords)
            break;
        iconcache::appendRecord(out, f.key, pixelsOf(f.image));
    }
    // The old pictures used in this run first: they are the ones the next start shows.
    for (const int pass : {1, 0}) {
        for (std::size_t i = 0; i < m_records.size() && written < MaxRecords && out.size() < MaxFileBytes; ++i) {
            const bool used = m_state[i] == 1;
            if (used != (pass == 1) || m_state[i] == 2)
                continue;
            if (m_state[i] == 0 && !iconcache::intact(m_records[i])) {
                m_state[i] = 2;
                continue;
            }
            // Left out: a record of a key drawn again in this run, and the second of two
            // records of one key (or of one hash: a rare loss, only a cache miss).
            const std::uint64_t k = indexKey(m_records[i].key);
            if (const auto f = m_freshIndex.find(k); f != m_freshIndex.end() && m_fresh[f->second].key == m_records[i].key)
                continue;
            if (m_index.of(k).front().second != i)
                continue;
            iconcache::appendRecord(out, m_records[i]);
            ++written;
        }
    }
    if (Result<void> written = writeCacheFile(m_file, out); !written)
        return written;
    m_unsaved = false;
    return {};
}
