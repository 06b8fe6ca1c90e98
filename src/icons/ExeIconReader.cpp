#include "icons/ExeIconReader.h"

#include "formats/ExeParser.h"
#include "icons/IcoReader.h"
#include "formats/FileBytes.h"

#include <QFile>

bool ExeIconReader::recognises(const QByteArray& head) const
{
    return head.startsWith("MZ");
}

bool ExeIconReader::handlesSuffix(const QString&) const
{
    // A program without the "MZ" mark is not one, whatever its name says.
    return false;
}

int ExeIconReader::count(const QString& path) const
{
    FileBytes file(QFile::encodeName(path).toStdString());
    const std::size_t groups = exe::readResources(file).groups.size();
    return groups > std::size_t(INT_MAX) ? INT_MAX : int(groups);
}

QImage ExeIconReader::draw(const QString& path, int index0, int side) const
{
    if (index0 < 0)
        return {};
    FileBytes file(QFile::encodeName(path).toStdString());
    const exe::Resources resources = exe::readResources(file);
    return IcoReader::decodeBest(file, exe::groupEntries(file, resources, std::size_t(index0)), side);
}
