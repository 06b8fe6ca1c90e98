#pragma once

// Key files as the desktop writes them: .desktop entries and icon themes' index.theme.
// Plain C++ with no Qt and no file access, so it can be fuzzed on its own.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace desktop {

struct Group {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries; // key, value with escapes undone
};

// Whether parse() keeps translated keys ("Name[de]") besides the plain ones. Most
// readers want one value per key; the list of applications shows names in the user's
// language.
enum class Translations { Drop, Keep };

// The groups of a key file, in file order. Comments, blank lines, lines that are not
// "key=value" and, unless kept, translated keys ("Name[de]") are left out; so is
// everything before the first group.
std::vector<Group> parse(std::string_view text, Translations translations = Translations::Drop);

// The value of key in the first group of that name; null when there is none.
const std::string* value(const std::vector<Group>& groups, std::string_view group, std::string_view key);

// The program an Exec line starts: its first word with quoting undone, after an "env"
// and its variable settings. Empty when there is none.
std::string program(std::string_view exec);

// A list value ("a;b;c;") split at its unescaped semicolons.
std::vector<std::string> list(std::string_view value);

// The user's language as key files name their translations: "de_AT.UTF-8@euro" is
// language "de", country "AT", modifier "euro" (the encoding plays no part).
struct Locale {
    std::string lang, country, modifier;
};
Locale locale(std::string_view posix);

// The value of key in the first group of that name in the user's language: the best of
// key[lang_COUNTRY@MODIFIER], key[lang_COUNTRY], key[lang@MODIFIER], key[lang], and the
// plain key. Needs groups parsed with their translations kept.
const std::string* localized(const std::vector<Group>& groups, std::string_view group, std::string_view key,
                             const Locale& locale);

} // namespace desktop
