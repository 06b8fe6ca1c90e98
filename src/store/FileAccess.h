#pragma once

#include "store/Result.h"

#include <string>
#include <string_view>

// The few file operations the two formats need, on byte strings.

// False only when the path is known not to exist. When the answer is unknown (no
// permission to look, say) the file is taken as present: reading it then reports the
// problem, where creating it could replace a file that we merely failed to look at.
bool FileMayExist(const std::string& path);

// The whole content of a regular file; a failure when it cannot be opened or read, or when
// the path names something else (a folder, a device, a pipe), which is never a toolbar
// file and could block or never end.
Result<std::string> ReadFileBytes(const std::string& path);

// Replaces the file at path with bytes, atomically: the bytes go to a new file in the
// same folder, are flushed to the disk and renamed over the old file. On failure the old
// file is untouched and the temporary file is removed. A symbolic link is followed, so
// the file it points to is replaced and the link stays.
Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes);

// Keeps the present file under a second name (path + ".bak", or ".bak2", ".bak3" ... when
// that is taken by something else) before the program writes over content it could not
// load. Nothing is made when an existing copy already holds the same bytes. Returns the
// name of the copy, or an empty string when none was needed or none could be made.
std::string KeepOriginal(const std::string& path);
