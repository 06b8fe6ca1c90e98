#include "platform/LocalText.h"

#include <algorithm>

namespace {

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The ASCII characters QChar::isSpace counts: tab, line feed, vertical tab, form feed,
// carriage return and space.
bool isAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

QString local8Bit(std::string_view bytes)
{
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

QString textFromLocal8Bit(std::string_view bytes)
{
    if (!isAscii(bytes))
        return local8Bit(bytes);
    return QString(QLatin1StringView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool isBlankLocal8Bit(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return local8Bit(bytes).trimmed().isEmpty();
        if (!isAsciiSpace(c))
            return false;
    }
    return true;
}
