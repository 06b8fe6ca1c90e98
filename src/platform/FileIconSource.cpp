#include "platform/FileIconSource.h"

#include "platform/IcoReader.h"
#include "platform/IconImageReader.h"

#include <QFile>
#include <QFileInfo>

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
}

FileIconSource::~FileIconSource() = default;

void FileIconSource::addReader(std::unique_ptr<IconReader> reader)
{
    if (reader)
        m_readers.push_back(std::move(reader));
}

FileIconSource::Known& FileIconSource::known(const std::string& file)
{
    Stamp stamp;
    std::error_code ec;
    const std::filesystem::path path(file);
    if (std::filesystem::is_regular_file(path, ec)) {
        stamp.exists = true;
        stamp.size = std::filesystem::file_size(path, ec);
        stamp.time = std::filesystem::last_write_time(path, ec);
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

QImage FileIconSource::draw(const std::string& file, int index0)
{
    if (index0 < 0 || index0 > MaxIndex)
        return {};
    Known& k = known(file);
    if (k.count && index0 >= *k.count)
        return {};
    const auto it = k.drawn.find(index0);
    if (it != k.drawn.end())
        return it->second;
    const IconReader* reader = readerFor(file, k);
    QImage image = reader ? reader->draw(toQt(file), index0) : QImage();
    k.drawn.emplace(index0, image);
    return image;
}
