#pragma once

#include <QString>

#include <string>
#include <string_view>

// Names and texts from the files as text for the boxes, and back, without losing a byte.
// File names here are UTF-8 by convention, but nothing makes them so: a name written by
// an older system or copied from a Windows disk may hold Latin-1 bytes. A byte that is no
// part of valid UTF-8 becomes the lone surrogate U+DC80 + byte, which no valid text holds
// and which turns back into the same byte; valid UTF-8 reads as its characters. So a box
// filled from a record and left alone gives back exactly the record's bytes.
QString textFromBytes(std::string_view bytes);
std::string bytesFromText(const QString& text);

// What the file system says about a path given as such text (by its bytes).
struct PathFacts {
    bool exists{false};
    bool folder{false};
    bool file{false};       // a regular file
    bool executable{false}; // a regular file with an execute permission bit
};
PathFacts factsOfPath(const QString& text);
