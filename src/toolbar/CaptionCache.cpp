#include "toolbar/CaptionCache.h"

#include "platform/BaseDirectories.h"
#include "platform/BoundedRead.h"
#include "platform/FontResources.h"
#include "platform/Log.h"

#include <QFile>
#include <QGuiApplication>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace {

// Several times the captions of a large set of toolbars (about 1 MB for 180 captions).
// Beyond it older ones go, those this run used last; a larger file is not read at all.
constexpr std::size_t MaxRecords = 2048;
constexpr std::size_t MaxFileBytes = std::size_t(4) << 20;
// Written this long after the last thing learned: after the start-up's paints.
constexpr int SaveDelayMs = 2000;

// The settings besides the configuration files that change which fonts are found, their
// sizes on screen or how they are drawn (the X resources too), and the program's font
// and toolkit.
std::string fontEnvironment()
{
    std::string out;
    for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "QT_FONT_DPI",
                             "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING",
                             "QT_QPA_PLATFORMTHEME", "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        out += name;
        if (const char* value = std::getenv(name)) {
            out += '=';
            out += value;
        }
        out += '\n';
    }
    out += QGuiApplication::font().toString().toStdString() + '\n';
    out += QGuiApplication::platformName().toStdString() + '\n';
    out += fontResources();
    out += qVersion();
    return out;
}

// The picture's pixels as the file keeps them: 32-bit values, little-endian, top row first.
QByteArray pixelBytes(const QImage& image)
{
    QByteArray out;
    out.reserve(qsizetype(image.width()) * image.height() * 4);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            out.append(reinterpret_cast<const char*>(line), qsizetype(image.width()) * 4);
        } else {
            for (int x = 0; x < image.width(); ++x)
                for (int b = 0; b < 4; ++b)
                    out.push_back(char((line[x] >> (8 * b)) & 0xFF));
        }
    }
    return out;
}

// Caption pictures copied out of the file are laid one after the other in blocks of this
// size, each made present in one call: a start copies hundreds of them, and a fresh
// allocation of each would fault its pages in one by one.
constexpr std::size_t RoomBlock = std::size_t(128) << 10;

void releaseRoom(void* room)
{
    delete static_cast<std::shared_ptr<CaptionCache::Room>*>(room);
}

// What a stamp keeps of one file or folder as it is now: its modification time and size,
// or -1 and 0 when nothing is there.
std::pair<std::int64_t, std::int64_t> stateOf(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return {-1, 0};
    return {std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, std::int64_t(st.st_size)};
}

} // namespace

// A block of pictures' pixels, given back once the cache and every picture in it are gone.
struct CaptionCache::Room {
    explicit Room(std::size_t n) : bytes(new std::uint8_t[n]), size(n) { makePresent(bytes.get(), size); }
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size;
    std::size_t used = 0;
};

CaptionCache::CaptionCache(std::string file) : m_path(std::move(file)) {}

CaptionCache::~CaptionCache() = default;

std::string CaptionCache::defaultFile()
{
    return userCacheFile("captions.cache");
}

captioncache::Stamp CaptionCache::stampOf(const std::vector<std::string>& paths)
{
    captioncache::Stamp stamp;
    stamp.environment = fontEnvironment();
    stamp.files.reserve(paths.size());
    for (const std::string& path : paths) {
        const auto [modified, size] = stateOf(path);
        stamp.files.push_back({path, modified, size});
    }
    return stamp;
}

void CaptionCache::read()
{
    m_read = true;
    m_bytes = readBounded(QFile::decodeName(QByteArray::fromStdString(m_path)), qint64(MaxFileBytes));
    m_file = captioncache::readFile(
        {reinterpret_cast<const std::uint8_t*>(m_bytes.constData()), std::size_t(m_bytes.size())});
    m_state.assign(m_file.records.size(), 0);
    m_index = RecordIndex(m_file.records.size(),
                          [&](std::size_t i) { return std::hash<std::string_view>{}(m_file.records[i].key); });
    // What the start did not use goes once it is over (read again if a toolbar shown
    // later asks), whether or not anything new is to be written.
    saveSoon();
}

void CaptionCache::release()
{
    m_read = false;
    m_index = {};
    m_state.clear();
    m_file = {};
    m_bytes = QByteArray();
}

bool CaptionCache::fontsUnchanged()
{
    if (m_fontsUnchanged)
        return *m_fontsUnchanged;
    if (!m_read)
        read();
    // Compared where the file's stamp lies, entry by entry, as stampOf() would make it.
    const auto unchanged = [](const captioncache::StampEntry& e) {
        return stateOf(e.path) == std::pair(e.modified, e.size);
    };
    m_fontsUnchanged = m_file.valid && std::all_of(m_file.stamp.files.begin(), m_file.stamp.files.end(), unchanged)
                       && fontEnvironment() == m_file.stamp.environment;
    return *m_fontsUnchanged;
}

const captioncache::Record* CaptionCache::find(const QByteArray& key, captioncache::Kind kind)
{
    if (!fontsUnchanged())
        return nullptr;
    if (!m_read)
        read();
    const std::optional<std::size_t> i = firstWith(std::string_view(key.constData(), std::size_t(key.size())));
    if (!i)
        return nullptr;
    const captioncache::Record& r = m_file.records[*i];
    std::uint8_t& state = m_state[*i];
    if (state == 0)
        state = captioncache::intact(r) ? 1 : 2;
    return state == 1 && r.kind == kind ? &r : nullptr;
}

std::optional<std::size_t> CaptionCache::firstWith(std::string_view key) const
{
    for (const auto& [hash, i] : m_index.of(std::hash<std::string_view>{}(key)))
        if (m_file.records[i].key == key)
            return i;
    return std::nullopt;
}

std::optional<CaptionCache::Measure> CaptionCache::measure(const QByteArray& key)
{
    if (const auto fresh = m_measures.constFind(key); fresh != m_measures.constEnd())
        return *fresh;
    const captioncache::Record* r = find(key, captioncache::Kind::Measure);
    if (!r)
        return std::nullopt;
    return Measure{QString::fromUtf8(reinterpret_cast<const char*>(r->data.data()), qsizetype(r->data.size())), r->a,
                   r->b};
}

void CaptionCache::keepMeasure(const QByteArray& key, const Measure& measure)
{
    if (key.size() > qsizetype(captioncache::MaxKey) || measure.width < 0 || measure.lineHeight < 0)
        return;
    m_measures.insert(key, measure);
    saveSoon();
}

QImage CaptionCache::picture(const QByteArray& key, QImage::Format format)
{
    if (const auto fresh = m_pictures.constFind(key); fresh != m_pictures.constEnd())
        return fresh->format() == format ? *fresh : QImage();
    const captioncache::Record* r = find(key, captioncache::Kind::Picture);
    if (!r || QImage::toPixelFormat(format).bitsPerPixel() != 32)
        return {};
    // Copied out rather than shown from the file's bytes: the file goes once the start is
    // over, and is read again for a toolbar shown later, while the captions stay.
    const std::size_t size = r->data.size();
    const std::size_t taken = (size + 15) & ~std::size_t(15); // the next one starts aligned
    if (!m_room || m_room->size - m_room->used < taken)
        m_room = std::make_shared<Room>(std::max(taken, RoomBlock));
    std::uint8_t* to = m_room->bytes.get() + m_room->used;
    m_room->used += taken;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(to, r->data.data(), size);
    } else {
        const std::uint8_t* from = r->data.data();
        auto* pixels = reinterpret_cast<QRgb*>(to);
        for (std::size_t x = 0; x < size; x += 4)
            pixels[x / 4] = QRgb(from[x]) | QRgb(from[x + 1]) << 8 | QRgb(from[x + 2]) << 16 | QRgb(from[x + 3]) << 24;
    }
    auto kept = std::make_unique<std::shared_ptr<Room>>(m_room);
    QImage image(to, r->a, r->b, qsizetype(r->a) * 4, format, releaseRoom, kept.get());
    if (!image.isNull())
        kept.release(); // the image's now
    return image;
}

void CaptionCache::keepPicture(const QByteArray& key, std::function<QImage()> render)
{
    if (key.size() > qsizetype(captioncache::MaxKey) || m_pictures.contains(key)
        || std::any_of(m_pending.begin(), m_pending.end(), [&](const auto& p) { return p.first == key; }))
        return;
    m_pending.emplace_back(key, std::move(render));
    saveSoon();
}

void CaptionCache::saveSoon()
{
    if (!QCoreApplication::instance())
        return;
    if (!m_saveTimer) {
        m_saveTimer = std::make_unique<QTimer>();
        m_saveTimer->setSingleShot(true);
        m_saveTimer->setInterval(SaveDelayMs);
        QObject::connect(m_saveTimer.get(), &QTimer::timeout, [this] {
            // The cache only spares work: one that cannot be written costs time, not captions.
            if (const Result<void> saved = save(); !saved)
                qCWarning(lcVyre).noquote() << "The caption cache could not be written:"
                                            << QString::fromLocal8Bit(saved.reason());
        });
    }
    m_saveTimer->start();
}

Result<void> CaptionCache::save()
{
    if (m_saveTimer)
        m_saveTimer->stop();
    for (auto& [key, render] : m_pending) {
        const QImage image = render();
        if (!image.isNull() && image.depth() == 32 && image.width() <= captioncache::MaxSide
            && image.height() <= captioncache::MaxSide)
            m_pictures.insert(key, image);
    }
    m_pending.clear();
    if (!unsaved()) {
        release();
        return {};
    }
    if (!m_read)
        read();
    // Whatever this run learned was drawn with the fonts fontconfig has loaded by now.
    const captioncache::Stamp stamp = stampOf(fontConfigurationPaths());
    std::string out = captioncache::header(stamp);
    std::size_t written = 0;
    const auto bytesOf = [](const QByteArray& b) {
        return std::span(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()));
    };
    const auto keyOf = [](const QByteArray& k) { return std::string_view(k.constData(), std::size_t(k.size())); };
    // Room for a record of this many bytes of key and data (and its 25 of its own).
    const auto room = [&](std::size_t bytes) {
        return written < MaxRecords && out.size() + bytes + 25 <= MaxFileBytes;
    };
    for (auto it = m_measures.cbegin(); it != m_measures.cend(); ++it) {
        const QByteArray shown = it->shown.toUtf8();
        if (room(std::size_t(it.key().size() + shown.size()))) {
            captioncache::appendRecord(out, captioncache::Kind::Measure, keyOf(it.key()), it->width, it->lineHeight,
                                       bytesOf(shown));
            ++written;
        }
    }
    for (auto it = m_pictures.cbegin(); it != m_pictures.cend(); ++it) {
        if (room(std::size_t(it.key().size()) + std::size_t(it->width()) * std::size_t(it->height()) * 4)) {
            captioncache::appendRecord(out, captioncache::Kind::Picture, keyOf(it.key()), it->width(), it->height(),
                                       bytesOf(pixelBytes(*it)));
            ++written;
        }
    }
    // What the old file holds was drawn with the fonts it was stamped with: kept only
    // while they are the same, the captions used in this run first.
    if (m_file.valid && m_file.stamp == stamp) {
        for (const std::uint8_t pass : {1, 0}) {
            for (std::size_t i = 0; i < m_file.records.size(); ++i) {
                const captioncache::Record& r = m_file.records[i];
                if ((m_state[i] == 1) != (pass == 1) || m_state[i] == 2 || firstWith(r.key) != i
                    || !room(r.whole.size()))
                    continue;
                if (m_state[i] == 0 && !captioncache::intact(r)) {
                    m_state[i] = 2;
                    continue;
                }
                const QByteArray key = QByteArray::fromRawData(r.key.data(), qsizetype(r.key.size()));
                if (m_measures.contains(key) || m_pictures.contains(key))
                    continue;
                captioncache::appendRecord(out, r);
                ++written;
            }
        }
    }
    if (Result<void> done = writeCacheFile(m_path, out); !done)
        return done;
    // What was written is read again when next asked for; until then it takes no memory.
    m_measures.clear();
    m_pictures.clear();
    release();
    m_fontsUnchanged = true;
    return {};
}
