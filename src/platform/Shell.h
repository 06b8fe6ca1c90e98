#pragma once

#include <QString>

#include <string>

// Opening and starting things, standing in for the shell's default verb. Paths and
// parameters are the store's bytes; nothing here ever passes them through /bin/sh.
class Shell {
public:
    struct Result {
        bool ok{false};
        QString error; // why it failed, for the curious; the user sees the program's own text
    };

    virtual ~Shell() = default;
    // Opens target with its default verb: starts an executable with parameters (split by
    // shell-like quoting), launches a .desktop entry, or opens a document, folder or URL
    // with the desktop's handler. workingFolder empty: keep the current folder.
    virtual Result open(const std::string& target, const std::string& parameters,
                        const std::string& workingFolder) = 0;
    // Starts target with parameters and then file as one last argument (a drop).
    virtual Result startWithFile(const std::string& target, const std::string& parameters,
                                 const std::string& file) = 0;
    // Copies file into folder under its own name, replacing a file of that name.
    virtual Result copyInto(const std::string& file, const std::string& folder) = 0;
    // Opens a link (mailto:, https:) with the desktop's handler.
    virtual Result openLink(const QString& url) = 0;
};
