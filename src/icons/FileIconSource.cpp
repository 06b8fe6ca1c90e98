#include "icons/FileIconSource.h"

#include "icons/DesktopIconReader.h"
#include "icons/ExeIconReader.h"
#include "icons/FolderIconReader.h"
#include "icons/IcoReader.h"
#include "icons/IconCache.h"
#include "icons/IconImageReader.h"
#include "icons/IconTheme.h"
#include "icons/ProgramIconReader.h"
#include "icons/TargetIcon.h"
#include "icons/ThemeIconReader.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far more files than any set of toolbars shows; beyond it the memory is given back.
constexpr std::size_t MaxKnownFiles = 8192;
constexpr int MaxIndex = 0xFFFF;
// A .desktop entry names a theme icon, a folder names a picture: a chain this long is
// a loop of entries naming each other.
constexpr int MaxReferences = 4;
// New pictures are written to the cache this long after the last one was drawn: after
// a start has shown its toolbars, never in the middle of it.
constexpr int CacheSaveDelayMs = 2000;

QString toQt(const std::string& file)
{
    return QString::fromLocal8Bit(file.data(), static_cast<qsizetype>(file.size()));
}

// The first bytes of a regular file, for the readers to tell its kind by. Opened
// without waiting, in case something other than the file just looked at is there now.
QByteArray headOf(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    QByteArray head(64, Qt::Uninitialized);
    struct stat st{};
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        do
            n = ::read(fd, head.data(), std::size_t(head.size()));
        while (n < 0 && errno == EINTR);
    }
    ::close(fd);
    head.truncate(n > 0 ? qsizetype(n) : 0);
    return head;
}

} // namespace

FileIconSource::FileIconSource()
    : m_theme(std::make_shared<IconTheme>())
{
    const auto& theme = m_theme;
    m_readers.push_back(std::make_unique<IcoReader>());
    m_readers.push_back(std::make_unique<IconImageReader>());
    m_readers.push_back(std::make_unique<ExeIconReader>());
    m_readers.push_back(std::make_unique<DesktopIconReader>(theme));
    m_readers.push_back(std::make_unique<ProgramIconReader>(theme));
    m_readers.push_back(std::make_unique<FolderIconReader>());
    m_readers.push_back(std::make_unique<ThemeIconReader>(theme));
}

FileIconSource::~FileIconSource()
{
    saveCache();
}

void FileIconSource::addReader(std::unique_ptr<IconReader> reader)
{
    if (reader)
        m_readers.push_back(std::move(reader));
}

void FileIconSource::useCache(const std::string& cacheFile)
{
    saveCache();
    m_cache = cacheFile.empty() ? nullptr : std::make_unique<IconCache>(cacheFile);
}

void FileIconSource::saveCache()
{
    if (m_saveTimer)
        m_saveTimer->stop();
    // The cache only spares decoding: a cache that cannot be written costs time, not
    // pictures, so it is noted and the program goes on.
    if (!m_cache || !m_cache->unsaved())
        return;
    if (const Result<void> saved = m_cache->save(); !saved)
        qCWarning(lcVyre).noquote() << "The icon cache could not be written:" << QString::fromLocal8Bit(saved.reason());
}

std::uint64_t FileIconSource::currentPass()
{
    // Without an event loop in this thread nothing would end a pass: every question
    // looks at the file then.
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->thread() != QThread::currentThread())
        return 0;
    if (!m_passTimer) {
        m_passTimer = std::make_unique<QTimer>();
        m_passTimer->setSingleShot(true);
        m_passTimer->setInterval(0);
    }
    if (!m_passTimer->isActive()) {
        ++m_pass;
        m_passTimer->start();
    }
    return m_pass;
}

FileIconSource::Known& FileIconSource::known(const std::string& file)
{
    auto it = m_known.find(file);
    const std::uint64_t pass = currentPass();
    if (it != m_known.end() && pass != 0 && it->second.pass == pass)
        return it->second;
    // One stat for all a draw needs to know: buttons are drawn again and again, and most
    // of them share a few files. The inode and change time catch a file replaced by
    // another of the same size and modification time (copied with its times kept).
    Stamp stamp;
    struct stat st{};
    if (file.find('\0') == std::string::npos && ::stat(file.c_str(), &st) == 0
        && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
        stamp.exists = true;
        stamp.folder = S_ISDIR(st.st_mode);
        stamp.device = st.st_dev;
        stamp.inode = st.st_ino;
        stamp.size = st.st_size;
        stamp.modified = std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
        stamp.changed = std::int64_t(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    }
    if (it != m_known.end() && it->second.stamp == stamp) {
        it->second.pass = pass;
        return it->second;
    }
    if (it == m_known.end()) {
        if (m_known.size() >= MaxKnownFiles && m_depth == 0)
            m_known.clear();
        it = m_known.try_emplace(file).first;
    } else {
        it->second = Known{};
    }
    Known& k = it->second;
    k.stamp = stamp;
    k.pass = pass;
    return k;
}

const IconReader* FileIconSource::readerFor(const std::string& file, Known& k)
{
    if (k.readerChosen)
        return k.reader;
    k.readerChosen = true;
    const QString path = toQt(file);
    if (!k.stamp.exists || k.stamp.folder) {
        if (!file.empty())
            for (const auto& r : m_readers)
                if (!k.reader && r->takesOther(path, k.stamp.folder))
                    k.reader = r.get();
        return k.reader;
    }
    const QByteArray head = headOf(file);
    for (const auto& r : m_readers)
        if (!k.reader && r->recognises(head))
            k.reader = r.get();
    if (k.reader)
        return k.reader;
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const auto& r : m_readers)
        if (!k.reader && r->handlesSuffix(suffix))
            k.reader = r.get();
    return k.reader;
}

int FileIconSource::count(const std::string& file)
{
    Known& k = known(file);
    if (!k.count) {
        const IconReader* reader = readerFor(file, k);
        int n = 0;
        if (reader && reader->singleIcon())
            n = draw(file, 0).isNull() ? 0 : 1;
        else
            n = reader ? reader->count(toQt(file)) : 0;
        // Looked up again: drawing may have renewed what is known of the file.
        known(file).count = n;
        return n;
    }
    return *k.count;
}

QImage FileIconSource::drawReferred(const IconReader& reader, Known& k, const std::string& file, int index0, int side)
{
    if (m_depth >= MaxReferences)
        return {};
    auto it = k.referred.find({index0, side});
    if (it == k.referred.end())
        it = k.referred.emplace(std::pair(index0, side), reader.refer(toQt(file), index0, side)).first;
    const std::optional<IconReader::Reference> reference = it->second;
    if (!reference)
        return {};
    ++m_depth;
    QImage image = draw(QFile::encodeName(reference->file).toStdString(), reference->index, side);
    --m_depth;
    return image;
}

QImage FileIconSource::draw(const std::string& file, int index0, int side)
{
    if (index0 < 0 || index0 > MaxIndex || side < 1 || side > iconfile::MaxSide)
        return {};
    Known& k = known(file);
    if (k.count && index0 >= *k.count)
        return {};
    const auto it = k.drawn.find({index0, side});
    if (it != k.drawn.end())
        return it->second;

    // A picture decoded by an earlier run: no reader is even chosen for it.
    const bool cacheable = m_cache && k.stamp.exists && !k.stamp.folder;
    iconcache::Key key;
    if (cacheable) {
        key = {file, k.stamp.size, k.stamp.modified, k.stamp.changed, k.stamp.inode, index0, side};
        if (const auto hit = m_cache->find(key)) {
            k.drawn.emplace(std::pair(index0, side), *hit);
            return *hit;
        }
    }

    const IconReader* reader = readerFor(file, k);
    if (reader && reader->refers()) {
        // Kept by the file referred to, whose own changes are then seen; not here.
        return drawReferred(*reader, k, file, index0, side);
    }
    QImage image = reader ? reader->draw(toQt(file), index0, side) : QImage();
    k.drawn.emplace(std::pair(index0, side), image);
    if (cacheable) {
        m_cache->store(std::move(key), image);
        if (!m_saveTimer) {
            m_saveTimer = std::make_unique<QTimer>();
            m_saveTimer->setSingleShot(true);
            m_saveTimer->setInterval(CacheSaveDelayMs);
            QObject::connect(m_saveTimer.get(), &QTimer::timeout, [this] { saveCache(); });
        }
        m_saveTimer->start();
    }
    return image;
}

QString FileIconSource::themeFile(const QString& name, int side)
{
    const auto key = std::pair(name, side);
    auto it = m_themeFiles.find(key);
    if (it == m_themeFiles.end())
        it = m_themeFiles.emplace(key, m_theme->lookup(name, side)).first;
    return it->second;
}

// Read afresh each time it is asked for, so icons installed since show up.
QStringList FileIconSource::themeNames() { return IconTheme().names(); }

QImage FileIconSource::drawTarget(const std::string& target, int side)
{
    if (side < 1 || side > iconfile::MaxSide)
        return {};
    // Kept like any answer, until the target changes: every rebuild of a toolbar asks
    // again for each of its buttons without an icon.
    {
        const Known& k = known(target);
        if (const auto it = k.asTarget.find(side); it != k.asTarget.end())
            return it->second;
    }
    const TargetIcon icon = targetIcon(toQt(target));
    QImage image;
    if (icon.own)
        image = draw(QFile::encodeName(icon.program).toStdString(), 0, side);
    for (const QString& name : icon.themeNames) {
        if (!image.isNull())
            break;
        const QString file = themeFile(name, side);
        if (!file.isEmpty())
            image = draw(QFile::encodeName(file).toStdString(), 0, side);
    }
    // Looked up again: drawing may have renewed what is known.
    known(target).asTarget[side] = image;
    return image;
}
