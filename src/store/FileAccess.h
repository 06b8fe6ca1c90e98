#pragma once

#include "store/Result.h"

#include <cstddef>
#include <string>
#include <string_view>

// The few file operations the two formats need, on byte strings. A path holding a NUL
// byte names no file: the system would read it only up to the NUL, which is another file.

// The system calls a save makes, in one object so that a test can see their order (the
// new file must reach the disk before it replaces the old one). The defaults are the
// system's own.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual int open(const char* path, int flags, unsigned mode) const;
    virtual long write(int fd, const void* data, std::size_t size) const;
    virtual int fsync(int fd) const;
    virtual int close(int fd) const;
    virtual int rename(const char* from, const char* to) const;
    virtual int unlink(const char* path) const;
};
const FileCalls& systemFileCalls();

bool holdsNul(std::string_view path);

// False only when the path is known not to exist. When the answer is unknown (no
// permission to look, say) the file is taken as present: reading it then reports the
// problem, where creating it could replace a file that we merely failed to look at.
bool fileMayExist(const std::string& path);

// The whole content of a regular file; a failure when it cannot be opened or read, or when
// the path names something else (a folder, a device, a pipe), which is never a toolbar
// file and could block or never end.
Result<std::string> readFileBytes(const std::string& path);

// Replaces the file at path with bytes, atomically: the bytes go to a new file in the
// same folder, are flushed to the disk and renamed over the old file. On failure the old
// file is untouched and the temporary file is removed. A symbolic link is followed, so
// the file it points to is replaced (or made, when the link dangles) and the link stays.
// A file that nobody may write (no write permission bit) is left alone: a failure; so is
// anything at the link's end that is not a regular file (a folder, a device, a pipe).
Result<void> writeFileAtomically(const std::string& path, std::string_view bytes,
                                 const FileCalls& calls = systemFileCalls());

// True when the file at path (a link followed) exists and has no write permission bit
// at all: its owner made it read-only, and a save must respect that.
bool isReadOnlyFile(const std::string& path);

// Keeps the present file under a second name (path + ".bak", or ".bak2", ".bak3" ... when
// that is taken by something else) before the program writes over content it could not
// load. The copy is a file of its own, written atomically, so that changing the original
// in place later leaves it as it was. Nothing is made when an existing copy already holds
// the same bytes. Returns the name of the copy, an empty name when there is nothing to
// keep (no file, or an empty one), or why no copy could be made.
Result<std::string> keepOriginal(const std::string& path);

// Removes the temporary files a save that was cut short (the process killed) left in
// folder beside the file named name. Only for a folder the caller alone writes to.
// Returns how many were removed.
int removeStaleTemporaries(const std::string& folder, const std::string& name);
