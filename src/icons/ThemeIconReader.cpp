#include "icons/ThemeIconReader.h"

#include "icons/IconTheme.h"

ThemeIconReader::ThemeIconReader(std::shared_ptr<const IconTheme> theme) : m_theme(std::move(theme)) {}

bool ThemeIconReader::takesOther(const QString& path, bool folder) const
{
    return !folder && !path.isEmpty() && !path.contains(QLatin1Char('/'));
}

int ThemeIconReader::count(const QString& path) const
{
    return refer(path, 0, iconfile::Side) ? 1 : 0;
}

std::optional<IconReader::Reference> ThemeIconReader::refer(const QString& path, int index0, int side) const
{
    if (index0 != 0)
        return std::nullopt;
    const QString file = m_theme->lookup(path, side);
    if (file.isEmpty())
        return std::nullopt;
    return Reference{file, 0};
}
