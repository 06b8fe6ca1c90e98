#include "formats/DesktopFile.h"

namespace desktop {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string unescape(std::string_view v)
{
    std::string out;
    out.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out.push_back(v[i]);
            continue;
        }
        switch (v[++i]) {
        case 's': out.push_back(' '); break;
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        case '\\': out.push_back('\\'); break;
        default: // kept as it was: list values escape their semicolons this way
            out.push_back('\\');
            out.push_back(v[i]);
        }
    }
    return out;
}

// The next word of an Exec line from at, quoting undone; at moves past it.
std::string word(std::string_view exec, std::size_t& at)
{
    while (at < exec.size() && (exec[at] == ' ' || exec[at] == '\t'))
        ++at;
    std::string out;
    bool quoted = false;
    for (; at < exec.size(); ++at) {
        const char c = exec[at];
        if (!quoted && (c == ' ' || c == '\t'))
            break;
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted && c == '\\' && at + 1 < exec.size()) {
            out.push_back(exec[++at]);
            continue;
        }
        out.push_back(c);
    }
    return out;
}

} // namespace

std::vector<Group> parse(std::string_view text, Translations translations)
{
    std::vector<Group> groups;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trim(text.substr(at, end - at));
        at = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() == ']' && line.size() >= 2)
                groups.push_back({std::string(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || groups.empty())
            continue;
        const std::string_view key = trim(line.substr(0, eq));
        if (key.empty() || (translations == Translations::Drop && key.find('[') != std::string_view::npos))
            continue;
        groups.back().entries.emplace_back(std::string(key), unescape(trim(line.substr(eq + 1))));
    }
    return groups;
}

const std::string* value(const std::vector<Group>& groups, std::string_view group, std::string_view key)
{
    for (const Group& g : groups) {
        if (g.name != group)
            continue;
        for (const auto& [k, v] : g.entries)
            if (k == key)
                return &v;
        return nullptr;
    }
    return nullptr;
}

std::string program(std::string_view exec)
{
    std::size_t at = 0;
    std::string first = word(exec, at);
    if (first == "env") {
        do
            first = word(exec, at);
        while (!first.empty() && first.find('=') != std::string::npos && first.front() != '=');
    }
    return first;
}

std::vector<std::string> list(std::string_view value)
{
    std::vector<std::string> out;
    std::string item;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == ';') {
            item.push_back(';');
            ++i;
        } else if (value[i] == ';') {
            out.push_back(std::move(item));
            item.clear();
        } else {
            item.push_back(value[i]);
        }
    }
    if (!item.empty())
        out.push_back(std::move(item));
    return out;
}

Locale locale(std::string_view posix)
{
    Locale out;
    // lang_COUNTRY.ENCODING@MODIFIER, each part but the language optional.
    const std::size_t at = posix.find('@');
    if (at != std::string_view::npos) {
        out.modifier = std::string(posix.substr(at + 1));
        posix = posix.substr(0, at);
    }
    posix = posix.substr(0, posix.find('.'));
    const std::size_t bar = posix.find('_');
    out.lang = std::string(posix.substr(0, bar));
    if (bar != std::string_view::npos)
        out.country = std::string(posix.substr(bar + 1));
    // "C" and "POSIX" are no language: the plain values are theirs.
    if (out.lang == "C" || out.lang == "POSIX")
        out = {};
    return out;
}

const std::string* localized(const std::vector<Group>& groups, std::string_view group, std::string_view key,
                             const Locale& locale)
{
    const std::string k(key);
    std::string wanted[4];
    if (!locale.lang.empty()) {
        if (!locale.country.empty() && !locale.modifier.empty())
            wanted[0] = k + '[' + locale.lang + '_' + locale.country + '@' + locale.modifier + ']';
        if (!locale.country.empty())
            wanted[1] = k + '[' + locale.lang + '_' + locale.country + ']';
        if (!locale.modifier.empty())
            wanted[2] = k + '[' + locale.lang + '@' + locale.modifier + ']';
        wanted[3] = k + '[' + locale.lang + ']';
    }
    for (const Group& g : groups) {
        if (g.name != group)
            continue;
        const std::string* best = nullptr;
        int rank = 5; // lower is better; 4 is the plain key
        for (const auto& [name, v] : g.entries) {
            if (name == key) {
                if (rank > 4)
                    best = &v, rank = 4;
                continue;
            }
            for (int r = 0; r < rank && r < 4; ++r)
                if (!wanted[r].empty() && name == wanted[r]) {
                    best = &v, rank = r;
                    break;
                }
        }
        return best;
    }
    return nullptr;
}

} // namespace desktop
