#include "icons/FolderIconReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <climits>
#include <sys/stat.h>

namespace {

// A folder of icons holds hundreds; one of a million files is not read for icons.
constexpr qsizetype MaxPictures = 65536;
// Folders whose listing is kept at once: more than the folders a set of toolbars uses.
constexpr std::size_t MaxListings = 16;

} // namespace

bool FolderIconReader::takesOther(const QString&, bool folder) const
{
    return folder;
}

QStringList FolderIconReader::pictures(const QString& folder)
{
    // By suffix: opening every file of a large folder to count it would be slow, and a
    // picture that does not read then shows the plain file picture, as any broken icon.
    // A suffix is taken in lower or in upper case. Matched here rather than by name
    // filters, which cost a pattern match per filter and file, and not filtered on being
    // readable, which asks the system once per file: in a folder of tens of thousands
    // both were most of the time; an unreadable picture just draws nothing.
    static const QStringList suffixes = {"png", "svg", "xpm", "jpg", "jpeg", "jpe", "bmp", "ico", "cur",
                                         "PNG", "SVG", "XPM", "JPG", "JPEG", "JPE", "BMP", "ICO", "CUR"};
    const auto isPicture = [](QStringView name) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        return dot >= 0 && suffixes.contains(name.mid(dot + 1));
    };
    QStringList names;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!isPicture(name))
            continue;
        if (names.size() >= MaxPictures)
            return {};
        names << name;
    }
    std::sort(names.begin(), names.end());
    return names;
}

const QStringList& FolderIconReader::cachedPictures(const QString& folder) const
{
    // A file added, removed or renamed changes the folder's times: then it is listed anew.
    struct stat st{};
    Listing now;
    if (::stat(QFile::encodeName(folder).constData(), &st) == 0) {
        now.device = std::int64_t(st.st_dev);
        now.inode = std::int64_t(st.st_ino);
        now.modified = std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
        now.changed = std::int64_t(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    }
    const auto it = m_cache.find(folder);
    if (it != m_cache.end() && it->second.device == now.device && it->second.inode == now.inode
        && it->second.modified == now.modified && it->second.changed == now.changed)
        return it->second.names;
    if (it == m_cache.end() && m_cache.size() >= MaxListings)
        m_cache.clear();
    ++m_listings;
    now.names = pictures(folder);
    Listing& kept = m_cache[folder];
    kept = std::move(now);
    return kept.names;
}

int FolderIconReader::count(const QString& path) const
{
    return int(std::min<qsizetype>(cachedPictures(path).size(), INT_MAX));
}

std::optional<IconReader::Reference> FolderIconReader::refer(const QString& path, int index0, int) const
{
    const QStringList& names = cachedPictures(path);
    if (index0 < 0 || index0 >= names.size())
        return std::nullopt;
    return Reference{QDir(path).filePath(names[index0]), 0};
}
