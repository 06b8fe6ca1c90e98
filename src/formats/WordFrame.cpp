#include "formats/WordFrame.h"

#include <optional>

namespace {

// A decimal count followed by a colon, from pos; nothing when more bytes are needed,
// and bad set when the bytes cannot be one.
std::optional<std::size_t> count(const std::string& bytes, std::size_t& pos, bool& bad)
{
    std::size_t n = 0;
    std::size_t digits = 0;
    for (; pos < bytes.size(); ++pos) {
        const char c = bytes[pos];
        if (c == ':') {
            if (digits == 0) {
                bad = true;
                return std::nullopt;
            }
            ++pos;
            return n;
        }
        if (c < '0' || c > '9' || ++digits > 7) {
            bad = true;
            return std::nullopt;
        }
        n = n * 10 + std::size_t(c - '0');
        if (n > MaxFrameBytes) {
            bad = true;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::string encodeWords(const std::vector<std::string>& words)
{
    std::string out = std::to_string(words.size()) + ":";
    for (const std::string& w : words)
        out += std::to_string(w.size()) + ":" + w;
    return out;
}

DecodedWords decodeWords(const std::string& bytes)
{
    DecodedWords d;
    std::size_t pos = 0;
    bool bad = false;
    const auto wordCount = count(bytes, pos, bad);
    if (!wordCount) {
        d.state = bad ? DecodedWords::State::Bad : DecodedWords::State::More;
        return d;
    }
    for (std::size_t i = 0; i < *wordCount; ++i) {
        const auto size = count(bytes, pos, bad);
        if (!size) {
            d.state = bad ? DecodedWords::State::Bad : DecodedWords::State::More;
            return d;
        }
        if (pos + *size > MaxFrameBytes) {
            d.state = DecodedWords::State::Bad;
            return d;
        }
        if (bytes.size() - pos < *size) {
            d.state = DecodedWords::State::More;
            return d;
        }
        d.words.push_back(bytes.substr(pos, *size));
        pos += *size;
    }
    d.state = DecodedWords::State::Done;
    d.used = pos;
    return d;
}

