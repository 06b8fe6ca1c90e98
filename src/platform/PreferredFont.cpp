#include "platform/PreferredFont.h"

#include <QFontInfo>
#include <QStringList>

namespace {

QStringList familiesFor(const QString& family)
{
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return {family, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")};
    return {family};
}

} // namespace

std::optional<QFont> preferredFont(const QString& family, qreal pointSize)
{
    const QStringList families = familiesFor(family);
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    // The font actually loaded tells whether the matcher found one of ours or fell back.
    const QString loaded = QFontInfo(font).family();
    for (const QString& wanted : families)
        if (loaded.compare(wanted, Qt::CaseInsensitive) == 0)
            return font;
    return std::nullopt;
}
