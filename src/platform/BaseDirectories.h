#pragma once

#include "store/Result.h"

#include <string>
#include <string_view>

// The base directory rules say a relative path in $XDG_CONFIG_HOME and its kind is
// invalid and must be ignored; a relative $HOME is no better. Left alone, each would put
// the launcher's files (its data folder, icon cache, socket, autostart entry) under
// whatever folder it was started in, and differently for each library that reads them.
// Called first thing in main(): unsets the relative XDG_*_HOME and XDG_RUNTIME_DIR values,
// keeps only the absolute folders of XDG_DATA_DIRS and XDG_CONFIG_DIRS, and puts the
// account's home folder in place of a relative HOME (or unsets it when there is none).
// The programs the launcher starts get the mended values too.
void ignoreRelativeBaseDirectories();

// The value of an environment variable, empty when it is unset.
std::string environmentValue(const char* name);

// The file of that name in the launcher's folder of the user's cache folder:
// $XDG_CACHE_HOME/vyrelight/name, or ~/.cache/vyrelight/name. Kept there: what can be
// made again (the icon and caption caches).
std::string userCacheFile(const char* name);
// Replaces a cache file with bytes, atomically, making its folder first when there is
// none (a folder made here is the user's alone, as cache folders are); a failure, with
// its reason, when the file could not be written.
Result<void> writeCacheFile(const std::string& path, std::string_view bytes);
