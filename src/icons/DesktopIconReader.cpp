#include "icons/DesktopIconReader.h"

#include "formats/DesktopFile.h"
#include "icons/IconTheme.h"

DesktopIconReader::DesktopIconReader(std::shared_ptr<const IconTheme> theme) : m_theme(std::move(theme)) {}

bool DesktopIconReader::recognises(const QByteArray& head) const
{
    // Some entries start with a "#!" line so that they can be run; the group follows.
    return head.startsWith("[Desktop Entry]") || (head.startsWith("#") && head.contains("\n[Desktop Entry]"));
}

bool DesktopIconReader::handlesSuffix(const QString& suffix) const
{
    return suffix == QLatin1String("desktop");
}

int DesktopIconReader::count(const QString& path) const
{
    return refer(path, 0, iconfile::Side) ? 1 : 0;
}

QString DesktopIconReader::iconFile(const QByteArray& entry, const IconTheme& theme, int side)
{
    const auto groups = desktop::parse(std::string_view(entry.constData(), std::size_t(entry.size())));
    const std::string* icon = desktop::value(groups, "Desktop Entry", "Icon");
    if (!icon || icon->empty())
        return {};
    const QString value = QString::fromStdString(*icon);
    // A path names the picture itself; it must be a whole path, as nothing says where a
    // relative one would start.
    if (value.startsWith(QLatin1Char('/')))
        return value;
    return theme.lookup(value, side);
}

std::optional<IconReader::Reference> DesktopIconReader::refer(const QString& path, int index0, int side) const
{
    if (index0 != 0)
        return std::nullopt;
    const QString file = iconFile(iconfile::readBounded(path, iconfile::MaxEntryFile), *m_theme, side);
    if (file.isEmpty())
        return std::nullopt;
    return Reference{file, 0};
}
