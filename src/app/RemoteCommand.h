#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "formats/WordFrame.h"

// What a second start asks of the running launcher (--press, --toggle, --focus, --list),
// and how the request and its answer travel. Nothing here knows Qt: the forms, the name matching
// and the framing are plain rules, tested on their own.

// A toolbar or button named on the command line: a name (exact first, then the one name
// that matches without regard to ASCII case) or a 1-based number. Names are bytes: any
// byte a name may hold matches only itself, except that ASCII letters also match their
// other case in the second step.
struct NamePick {
    std::optional<std::size_t> index; // 0-based; nothing: error says why
    std::string error;
};
// what: "toolbar" or "button", for the message.
NamePick pickByName(const std::vector<std::string>& names, const std::string& wanted, const std::string& what);

// One line of --list. Toolbars: "T<tab>number<tab>shown|hidden<tab>name"; buttons, under
// their toolbar: "<tab>B<tab>number<tab>name<tab>target". Tabs and line ends inside a name
// or target are written as "\t", "\n" and "\\" so that every line is one record.
std::string listToolbarLine(std::size_t number, bool shown, const std::string& name);
std::string listButtonLine(std::size_t number, const std::string& name, const std::string& target);
