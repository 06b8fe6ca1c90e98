#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

struct ToolbarSet;

// What the toolbar editor hands over on OK: a toolbar record's own fields, as the
// configuration file holds them.
struct ToolbarFields {
    std::string Name;
    std::string Path;
    std::string IconFile;
    std::int16_t IconIndex{0};
};

inline constexpr const char* ToolbarExtension = ".vtb";

// The toolbar file for a new toolbar from what was typed: none typed gives
// "<dataFolder>/<name>.vtb"; a path not ending in exactly ".vtb" (the case counts) gets
// it appended; a relative path is taken in the data folder, never in whatever folder
// the process happens to be in.
std::string composeToolbarPath(const std::string& typed, const std::string& name, const std::string& dataFolder);

// The typed icon index: blank or not a number is 0 (no icon); nothing when it lies
// outside 0..32767.
std::optional<std::int16_t> toolbarIconIndex(const QString& typed);

// Why these fields cannot become toolbar `editing` of the set (none: a new toolbar), in
// words for the user; nothing when they can. The text fields must not hold what would
// break the line structure of the files (";", a line break, NUL); a new toolbar needs room
// in the set, an existing folder for its file, and a file no other toolbar uses.
std::optional<QString> toolbarRefusal(const ToolbarFields& fields, const ToolbarSet& set,
                                      std::optional<std::uint8_t> editing, const std::string& dataFolder);

// The message for a field that holds a character the files cannot keep; nothing when
// the text is clean. field is the field's caption ("Name").
std::optional<QString> forbiddenCharacter(const QString& field, const std::string& text);
