#pragma once

#include <QString>

#include <string_view>

// The records' names and paths as text, as QString::fromLocal8Bit reads them, for the
// windows' titles, captions and tooltips. Nearly every name is plain ASCII, which every
// local encoding reads as itself: such bytes are widened straight away, without the
// codec's set-up; anything else goes through the local codec.
QString textFromLocal8Bit(std::string_view bytes);

// True when the bytes, read as text, hold nothing but white space (or nothing at all).
// Plain ASCII is judged on its bytes, without a QString.
bool isBlankLocal8Bit(std::string_view bytes);
