#pragma once

#include <string>
#include <string_view>

// Paths as byte strings. The separator is "/" on POSIX; "\" and "/" on Windows.

// The text after the last separator, cut before its first "."; empty when the path ends
// with a separator.
std::string PathTitle(std::string_view path);
// The path up to and including its last separator; empty when it has none.
std::string PathFolder(std::string_view path);
// folder + separator + name, without doubling a separator the folder already ends with.
std::string joinPath(std::string_view folder, std::string_view name);

// True for a path that names its file wherever the program runs: "/..." on POSIX; a drive
// ("C:\...") or a share ("\\server\...") on Windows.
bool isAbsolutePath(std::string_view path);
