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

// The groups of a key file, in file order. Comments, blank lines, lines that are not
// "key=value" and translated keys ("Name[de]") are left out; so is everything before the
// first group.
std::vector<Group> parse(std::string_view text);

// The value of key in the first group of that name; null when there is none.
const std::string* value(const std::vector<Group>& groups, std::string_view group, std::string_view key);

// The program an Exec line starts: its first word with quoting undone, after an "env"
// and its variable settings. Empty when there is none.
std::string program(std::string_view exec);

// A list value ("a;b;c;") split at its unescaped semicolons.
std::vector<std::string> list(std::string_view value);

} // namespace desktop
