#pragma once

#include "store/TbrRec.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// What the button editor's five boxes hold, and the rules that turn them into a button.
// Kept apart from the dialog so the rules can be checked without a window.
struct ButtonFields {
    enum Field : std::uint8_t { Name = 0, Executable, Parameters, IconFile, IconIndex, FieldCount };

    std::array<QString, FieldCount> text;

    QString& operator[](Field f) { return text[f]; }
    const QString& operator[](Field f) const { return text[f]; }

    // The boxes of an existing button (a separator's boxes stay empty).
    static ButtonFields fromButton(const BtnRec& b);
};

// The caption of the label beside each box ("Icon:" stands for both icon boxes, so the
// index box is named apart).
QString fieldCaption(ButtonFields::Field f);

// The kind a button that is not a separator gets: a folder's, when target names an
// existing folder; a file's otherwise, also for a missing path and the recall marker.
std::uint8_t TargetKind(const QString& target);

// True when target is a program whose own icon the button should carry: a file the
// kernel can run, a desktop entry, a bare name found on the search path, or a name
// ending in ".exe" as old sets hold them. Folders and the recall marker are not.
bool isProgramTarget(const QString& target);

// OK may be pressed: separator mode, or a name and a target typed (blanks count).
bool okAllowed(const ButtonFields& f, bool separator);

// What leaving the target box fills in: the name from the target's file name when the
// name is blank, and the icon from a program target when the icon box is blank. Nothing
// the user typed is replaced. True when a box changed.
bool completeFromTarget(ButtonFields& f);

// What a chosen target fills in: the name as above, and a program's own icon even over
// one already chosen.
void takeChosenTarget(ButtonFields& f, const QString& path);

// What a chosen folder fills in: the target, and the name from the folder's own name
// (whole, points and all) when the name is blank. The icon is left alone: with none of
// its own the button shows the folder's.
void takeChosenFolder(ButtonFields& f, const QString& path);

// The record the boxes make, or the message telling why they cannot make one: a ";",
// line break or NUL in a field would break the file's line structure, and an icon index
// must be empty, 0 or 1 to 32767. A separator is stored with empty texts and index 0,
// whatever its disabled boxes hold. The texts are taken byte for byte (textFromBytes).
struct ButtonOutcome {
    std::optional<BtnRec> button;
    QString problem;
};
ButtonOutcome makeButton(const ButtonFields& f, bool separator);
