#pragma once

#include "platform/Shell.h"

#include <string>
#include <vector>

// The shell on a Linux desktop. What a target is decides how it starts:
//  - a program file (executable, and an ELF binary or a "#!" script) is started
//    directly with the parameters split by shell-like quoting;
//  - a bare name (no "/") is a program looked up on PATH;
//  - a .desktop entry is launched by the Desktop Entry rules, in the folder its Path=
//    names or else in the user's home folder (whatever folder the caller gives);
//  - anything else that exists (a document, a folder) and any URI is opened with the
//    desktop's default application, and a type without one is a failure.
// Success means a process was really started; programs are detached from the launcher.
class DesktopShell final : public Shell {
public:
    Result<void> open(const std::string& target, const std::string& parameters,
                      const std::string& workingFolder) override;
    Result<void> startWithFile(const std::string& target, const std::string& parameters,
                               const std::string& file) override;
    Result<void> copyInto(const std::string& file, const std::string& folder) override;
    Result<void> openLink(const QString& url) override;

private:
    Result<void> startProgram(const std::string& program, const std::string& parameters,
                              const std::vector<std::string>& extra, const std::string& workingFolder);
};
