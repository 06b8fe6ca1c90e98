#include "platform/LosslessText.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at s[i] and its code point; 0 when the byte
// there starts none (a stray continuation byte, an overlong form, an encoded surrogate,
// a code point beyond U+10FFFF, or a sequence cut short).
int sequenceAt(std::string_view s, std::size_t i, char32_t& cp)
{
    const auto byte = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    int length = 0;
    char32_t min = 0;
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        length = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + std::size_t(length) > s.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char c = byte(i + std::size_t(k));
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

} // namespace

QString textFromBytes(std::string_view bytes)
{
    QString out;
    out.reserve(qsizetype(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const int length = sequenceAt(bytes, i, cp);
        if (length == 0) {
            out += QChar(char16_t(EscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(char16_t(cp));
        }
        i += std::size_t(length);
    }
    return out;
}

std::string bytesFromText(const QString& text)
{
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(u, text[i + 1].unicode()));
            ++i;
        } else if (u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF) {
            // Only bytes 0x80 and up are ever escaped: the others are always valid.
            out += char(u - EscapeBase);
        } else if (QChar::isSurrogate(u)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

PathFacts factsOfPath(const QString& text)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(fs::path(bytesFromText(text)), ec);
    if (ec || !fs::exists(st))
        return {};
    const bool file = fs::is_regular_file(st);
    const fs::perms run = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return {true, fs::is_directory(st), file, file && (st.permissions() & run) != fs::perms::none};
}
