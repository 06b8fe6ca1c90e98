#pragma once

#include "store/Result.h"

#include <QString>

#include <string>

// Opening and starting things, standing in for the shell's default verb. Paths and
// parameters are the store's bytes; nothing here ever passes them through /bin/sh.
// A failure's reason (bytes, like the paths it names) is for the details of the program's
// own message: the user's text stays the program's.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens target with its default verb: starts an executable with parameters (split by
    // shell-like quoting), launches a .desktop entry, or opens a document, folder or URL
    // with the desktop's handler. workingFolder empty: keep the current folder. An
    // application entry starts in its own Path= or the user's home, whatever is given.
    virtual Result<void> open(const std::string& target, const std::string& parameters,
                              const std::string& workingFolder) = 0;
    // Starts target with parameters and then file as one last argument (a drop).
    virtual Result<void> startWithFile(const std::string& target, const std::string& parameters,
                                       const std::string& file) = 0;
    // Copies file into folder under its own name, replacing a file of that name.
    virtual Result<void> copyInto(const std::string& file, const std::string& folder) = 0;
    // Opens a link (mailto:, https:) with the desktop's handler.
    virtual Result<void> openLink(const QString& url) = 0;
};
