#pragma once

#include "store/Result.h"

#include <string>

// What decides where Toolbars.cfg and the toolbar files live.
struct DataFolderFacts {
    std::string requested;     // --data-dir; empty: none given
    std::string programFolder; // the folder of the running binary
    // The binary sits in <prefix>/bin beside its installed <prefix>/share files.
    bool installed{false};
    bool programFolderHoldsCfg{false};
    bool programFolderWritable{false};
    std::string xdgConfigHome; // as the environment has it; may be empty or relative
    std::string home;
    std::string currentFolder; // a relative --data-dir is taken from here
};

// The folder, as an absolute path: the requested one; else, for an installed program,
// $XDG_CONFIG_HOME/vyrelight (~/.config/vyrelight), whoever runs it, root included, so
// nothing is ever written into bin/; else the program's folder when it holds
// Toolbars.cfg or is writable (a build folder), else the config folder as for an
// installed program. Empty when there is no home to put it in.
std::string chooseDataFolder(const DataFolderFacts& facts);

// True when the binary in programFolder is an installed one.
bool isInstalledProgram(const std::string& programFolder);

// The data folder for this run, made when missing. A failure says why, in words for the
// user: a requested folder that is a file, a folder that cannot be made.
Result<std::string> findDataFolder(const std::string& programFolder, const std::string& requested = {});
