#include "platform/FileIconSource.h"

#include "platform/ExeIconReader.h"
#include "platform/IcoReader.h"
#include "platform/IconImageReader.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// Far more files than any set of toolbars shows; beyond it the memory is given back.
constexpr std::size_t MaxKnownFiles = 8192;
constexpr int MaxIndex = 0xFFFF;

QString toQt(const std::string& file)
{
    return QString::fromLocal8Bit(file.data(), static_cast<qsizetype>(file.size()));
}

QByteArray headOf(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(64);
}

} // namespace

FileIconSource::FileIconSource()
{
    m_readers.push_back(std::make_unique<IcoReader>());
    m_readers.push_back(std::make_unique<IconImageReader>());
    m_readers.push_back(std::make_unique<ExeIconReader>());
}

FileIconSource::~FileIconSource() = default;

void FileIconSource::addReader(std::unique_ptr<IconReader> reader)
{
    if (reader)
        m_readers.push_back(std::move(reader));
}

FileIconSource::Known& FileIconSource::known(const std::string& file)
{
    // One stat for all a draw needs to know: buttons are drawn again and again, and most
    // of them share a few files. The inode and change time catch a file replaced by
    // another of the same size and modification time (copied with its times kept).
    Stamp stamp;
    struct stat st{};
    if (file.find('\0') == std::string::npos && ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        stamp.exists = true;
        stamp.device = st.st_dev;
        stamp.inode = st.st_ino;
        stamp.size = st.st_size;
        stamp.modified = std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
        stamp.changed = std::int64_t(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    }
    auto it = m_known.find(file);
    if (it != m_known.end() && it->second.stamp == stamp)
        return it->second;
    if (it == m_known.end() && m_known.size() >= MaxKnownFiles)
        m_known.clear();
    Known& k = m_known[file];
    k = Known{};
    k.stamp = stamp;
    return k;
}

const IconReader* FileIconSource::readerFor(const std::string& file, Known& k)
{
    if (!k.readerChosen) {
        k.readerChosen = true;
        if (k.stamp.exists) {
            const QString path = toQt(file);
            const QString suffix = QFileInfo(path).suffix().toLower();
            const QByteArray head = headOf(path);
            for (const auto& r : m_readers)
                if (!k.reader && r->recognises(head))
                    k.reader = r.get();
            for (const auto& r : m_readers)
                if (!k.reader && r->handlesSuffix(suffix))
                    k.reader = r.get();
        }
    }
    return k.reader;
}

int FileIconSource::count(const std::string& file)
{
    Known& k = known(file);
    if (!k.count) {
        const IconReader* reader = readerFor(file, k);
        if (reader && reader->singleIcon())
            k.count = draw(file, 0).isNull() ? 0 : 1;
        else
            k.count = reader ? reader->count(toQt(file)) : 0;
    }
    return *k.count;
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
    const IconReader* reader = readerFor(file, k);
    QImage image = reader ? reader->draw(toQt(file), index0, side) : QImage();
    k.drawn.emplace(std::pair(index0, side), image);
    return image;
}
