#include "platform/FolderIconReader.h"

#include <QDir>

#include <climits>

namespace {

// A folder of icons holds hundreds; one of a million files is not read for icons.
constexpr qsizetype MaxPictures = 65536;

} // namespace

bool FolderIconReader::takesOther(const QString&, bool folder) const
{
    return folder;
}

QStringList FolderIconReader::pictures(const QString& folder)
{
    // By suffix: opening every file of a large folder to count it would be slow, and a
    // picture that does not read then shows the plain file picture, as any broken icon.
    static const QStringList filters = {"*.png", "*.svg", "*.xpm", "*.jpg", "*.jpeg", "*.jpe", "*.bmp", "*.ico", "*.cur",
                                        "*.PNG", "*.SVG", "*.XPM", "*.JPG", "*.JPEG", "*.JPE", "*.BMP", "*.ICO", "*.CUR"};
    QStringList names = QDir(folder).entryList(filters, QDir::Files | QDir::Readable, QDir::Name);
    if (names.size() > MaxPictures)
        names.clear();
    return names;
}

int FolderIconReader::count(const QString& path) const
{
    return int(std::min<qsizetype>(pictures(path).size(), INT_MAX));
}

std::optional<IconReader::Reference> FolderIconReader::refer(const QString& path, int index0, int) const
{
    const QStringList names = pictures(path);
    if (index0 < 0 || index0 >= names.size())
        return std::nullopt;
    return Reference{QDir(path).filePath(names[index0]), 0};
}
