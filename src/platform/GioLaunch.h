#pragma once

#include "store/Result.h"

#include <string>
#include <vector>

// Starting programs and opening things through GLib/GIO. Kept free of Qt on purpose:
// GIO's headers and Qt's keyword macros do not mix in one translation unit.
//
// Everything started here is detached: GLib forks twice, so the started program is
// adopted by init, outlives the launcher and never lingers as our zombie. Descriptors
// of ours (the instance lock, sockets) are closed in the child. All paths and
// arguments are bytes handed to exec as they are; no shell is ever involved.
//
// GLib and GIO are loaded when first needed, not linked: a launcher that only shows its
// toolbars never maps them. When they cannot be loaded, every call here fails with a
// reason saying so.
namespace gio {

// Starts the program file at path (absolute) with argv = path + args. Success means exec
// succeeded. workingFolder empty: the launcher's own.
Result<void> spawnDetached(const std::string& path, const std::vector<std::string>& args,
                           const std::string& workingFolder);

// Launches a .desktop entry by the Desktop Entry rules, with files (paths, or URIs for
// an entry whose Exec takes %u/%U) as its %f/%F/%u/%U. An entry of Type=Link opens its
// URL instead.
Result<void> launchDesktopEntry(const std::string& desktopFile, const std::vector<std::string>& files,
                                const std::string& workingFolder);

// Opens an existing file or folder with the desktop's default application for its
// content type; fails when no application is set for that type.
Result<void> openWithDefaultHandler(const std::string& path, const std::string& workingFolder);

// Opens a URI (https:, mailto:, file:, ...) with the handler for its scheme or, for
// file: URIs, for the file's type.
Result<void> openUri(const std::string& uri);

// True when text starts with a URI scheme ("https:", "mailto:"): two or more scheme
// characters before the first ':', and no '/' before it.
bool looksLikeUri(const std::string& text);

// Loads GLib and GIO from these file names from the next call on, so tests can see what
// a system without them gets; empty names stand for the system's libraries.
void useLibrariesForTesting(const std::string& glib, const std::string& gio);

} // namespace gio
