#include "app/RemoteCommand.h"

#include <charconv>

namespace {

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

// "1".."n" without signs, blanks or leading zeros; anything else is no number.
std::optional<std::size_t> number(const std::string& s)
{
    if (s.empty() || s[0] == '0' || s.size() > 9)
        return std::nullopt;
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return n;
}

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

// Keeps a listed field on its own line and column.
std::string field(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

NamePick pickByName(const std::vector<std::string>& names, const std::string& wanted, const std::string& what)
{
    NamePick pick;
    const auto unique = [&](auto&& matches) -> std::optional<std::size_t> {
        std::optional<std::size_t> found;
        bool twice = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!matches(names[i]))
                continue;
            twice = twice || found.has_value();
            if (!found)
                found = i;
        }
        if (twice) {
            pick.error = "more than one " + what + " is named " + quoted(wanted) + "; give its number";
            return std::nullopt;
        }
        return found;
    };
    if (auto i = unique([&](const std::string& n) { return n == wanted; }); i || !pick.error.empty()) {
        pick.index = i;
        return pick;
    }
    if (auto i = unique([&](const std::string& n) { return sameIgnoringAsciiCase(n, wanted); });
        i || !pick.error.empty()) {
        pick.index = i;
        return pick;
    }
    if (const auto n = number(wanted)) {
        if (*n <= names.size())
            pick.index = *n - 1;
        else
            pick.error = "there is no " + what + " number " + wanted + " (there are " +
                         std::to_string(names.size()) + ")";
        return pick;
    }
    pick.error = "there is no " + what + " named " + quoted(wanted);
    return pick;
}

std::string listToolbarLine(std::size_t number, bool shown, const std::string& name)
{
    return "T\t" + std::to_string(number) + "\t" + (shown ? "shown" : "hidden") + "\t" + field(name) + "\n";
}

std::string listButtonLine(std::size_t number, const std::string& name, const std::string& target)
{
    return "\tB\t" + std::to_string(number) + "\t" + field(name) + "\t" + field(target) + "\n";
}
