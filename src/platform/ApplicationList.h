#pragma once

// The installed applications, as the desktop's menus list them: the Desktop Entry files
// in the applications folders of the XDG base directories. Plain C++ with no Qt, so the
// rules can be tested on folders of a test's own.

#include "formats/DesktopFile.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace desktop {

// What decides the list besides the files themselves.
struct Environment {
    // The applications folders, the one that wins first: $XDG_DATA_HOME's, then each of
    // $XDG_DATA_DIRS's.
    std::vector<std::string> folders;
    // The language names are shown in.
    Locale locale;
    // $XDG_CURRENT_DESKTOP, for OnlyShowIn and NotShowIn.
    std::vector<std::string> desktops;
    // $PATH, where a TryExec program without a folder is looked for.
    std::vector<std::string> path;

    // This process's environment, with the base directories' defaults where a variable is
    // unset; the language from LC_ALL, LC_MESSAGES or LANG, the first one set.
    static Environment current();
};

struct Application {
    std::string id;   // the desktop-file ID: its path below the folder, "/" turned into "-"
    std::string file; // the entry's path
    std::string name, genericName, comment; // in the user's language
    std::string icon;
    std::string exec;
    std::vector<std::string> keywords;
};

// What one entry means for the list.
enum class Verdict {
    Offered, // an application to offer
    Hidden,  // hidden from menus (NoDisplay, Hidden, another desktop's, its TryExec missing):
             // it still takes its ID, so a copy in a later folder stays hidden too
    Invalid, // no application entry at all: ignored, as if the file were not there
};

struct Reading {
    Verdict verdict{Verdict::Invalid};
    Application application;
};

// Reads one entry's text.
Reading readApplication(std::string_view text, const Environment& environment);

// The list, kept between uses: a refresh reads only the entries that changed since the
// last one (by size, times and inode), so an unchanged system costs one stat per entry.
class ApplicationList {
public:
    // Brings the list up to date with the folders; true when it changed.
    bool refresh(const Environment& environment);
    // The offered applications, one per desktop-file ID, in no particular order.
    const std::vector<Application>& applications() const { return m_applications; }

private:
    struct Seen {
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, modified = 0, changed = 0;
        Reading reading;
        bool operator==(const Seen& o) const
        {
            return device == o.device && inode == o.inode && size == o.size && modified == o.modified
                && changed == o.changed;
        }
    };

    std::map<std::string, Seen> m_seen; // by path
    std::vector<Application> m_applications;
    std::vector<std::string> m_order; // the files the list was made of, in order
    std::string m_environmentKey;
};

} // namespace desktop
