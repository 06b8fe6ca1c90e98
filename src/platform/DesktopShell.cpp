#include "platform/DesktopShell.h"

#include "platform/ArgSplit.h"
#include "platform/GioLaunch.h"
#include "store/Paths.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

QString shown(const std::string& bytes) { return QString::fromLocal8Bit(bytes); }

std::string madeAbsolute(const std::string& path)
{
    std::error_code ec;
    const fs::path p = fs::absolute(path, ec);
    return ec ? path : p.string();
}

bool isDesktopEntry(const std::string& path)
{
    constexpr std::string_view ext = ".desktop";
    return path.size() > ext.size() && path.compare(path.size() - ext.size(), ext.size(), ext) == 0;
}

// A file the kernel can run: executable by us and starting like a binary or a script.
// Documents on file systems that mark everything executable (FAT, shares) are then
// still opened with their application instead of failing in exec.
bool isProgramFile(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || ::access(path.c_str(), X_OK) != 0)
        return false;
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    in.read(magic, sizeof magic);
    const auto got = in.gcount();
    return (got >= 2 && magic[0] == '#' && magic[1] == '!')
        || (got == 4 && magic[0] == '\x7f' && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F');
}

bool isBareName(const std::string& target) { return target.find('/') == std::string::npos; }

// The system reads a path only up to a NUL byte: what follows it would silently name
// another file, so such a path is refused whole.
bool holdsNul(const std::string& path) { return path.find('\0') != std::string::npos; }

Failure nulFailure(const std::string& path)
{
    return Failure{"the path " + std::string(path.c_str()) + "... holds a NUL byte and names no file"};
}

// An application entry starts where the entry says (its Path=) or else, as the desktop's
// own menus start it, in the user's home folder: never in the folder that holds the entry
// (/usr/share/applications), nor wherever the launcher itself happened to be started.
std::string entryFolder()
{
    const QString home = QDir::homePath();
    return home.isEmpty() ? std::string("/") : home.toLocal8Bit().toStdString();
}

std::string findOnPath(const std::string& name)
{
    const QString found = QStandardPaths::findExecutable(shown(name));
    return found.isEmpty() ? std::string() : found.toLocal8Bit().toStdString();
}

} // namespace

Result<void> DesktopShell::startProgram(const std::string& program, const std::string& parameters,
                                        const std::vector<std::string>& extra,
                                        const std::string& workingFolder)
{
    auto args = splitArgs(parameters);
    if (!args)
        return Failure{"the parameters leave a quote open: " + parameters};
    args->insert(args->end(), extra.begin(), extra.end());
    return gio::spawnDetached(program, *args, workingFolder);
}

Result<void> DesktopShell::open(const std::string& target, const std::string& parameters,
                                const std::string& workingFolder)
{
    if (target.empty())
        return Failure{"nothing to open"};
    if (holdsNul(target) || holdsNul(workingFolder))
        return nulFailure(holdsNul(target) ? target : workingFolder);
    if (gio::looksLikeUri(target))
        return gio::openUri(target);
    if (isBareName(target)) {
        const std::string program = findOnPath(target);
        if (program.empty())
            return Failure{target + " is not a program on PATH"};
        // The same test as for a full path: an executable-marked file that is neither a
        // binary nor a script is a document, which exec would hand to /bin/sh.
        if (!isProgramFile(program))
            return gio::openWithDefaultHandler(program, workingFolder);
        return startProgram(program, parameters, {}, workingFolder);
    }
    std::error_code ec;
    if (!fs::exists(target, ec))
        return Failure{target + " does not exist"};
    const std::string path = madeAbsolute(target);
    if (isDesktopEntry(path) && fs::is_regular_file(path, ec))
        return gio::launchDesktopEntry(path, {}, entryFolder());
    if (isProgramFile(path))
        return startProgram(path, parameters, {}, workingFolder);
    return gio::openWithDefaultHandler(path, workingFolder);
}

Result<void> DesktopShell::startWithFile(const std::string& target, const std::string& parameters,
                                         const std::string& file)
{
    if (target.empty())
        return Failure{"no program to start"};
    if (holdsNul(target) || holdsNul(file))
        return nulFailure(holdsNul(target) ? target : file);
    // A dropped link that names no local file (https:, sftp:, a phone's mtp:) means
    // something only to an application entry that declares it takes URIs.
    const bool uri = gio::looksLikeUri(file);
    const auto localOnly = [&] { return Failure{"the program takes local files only, not " + file}; };
    if (isBareName(target)) {
        const std::string program = findOnPath(target);
        if (program.empty())
            return Failure{target + " is not a program on PATH"};
        if (!isProgramFile(program))
            return Failure{program + " is not a program"};
        if (uri)
            return localOnly();
        return startProgram(program, parameters, {file}, {});
    }
    const std::string path = madeAbsolute(target);
    std::error_code ec;
    if (isDesktopEntry(path) && fs::is_regular_file(path, ec))
        return gio::launchDesktopEntry(path, {uri ? file : madeAbsolute(file)}, entryFolder());
    if (uri)
        return localOnly();
    if (isProgramFile(path))
        return startProgram(path, parameters, {file}, {});
    return Failure{target + " is not a program"};
}

Result<void> DesktopShell::copyInto(const std::string& file, const std::string& folder)
{
    if (holdsNul(file) || holdsNul(folder))
        return nulFailure(holdsNul(file) ? file : folder);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return Failure{file + " is not a file"};
    if (!fs::is_directory(folder, ec))
        return Failure{folder + " is not a folder"};
    const std::string name = file.substr(file.rfind('/') + 1);
    const std::string target = joinPath(folder, name);
    if (fs::exists(target, ec) && fs::equivalent(file, target, ec))
        return Failure{file + " is already in " + folder};

    // Copy beside the target and rename over it: an existing file of that name is
    // replaced whole or, when the copy fails half way (a full disk), left as it was.
    std::string temp = joinPath(folder, "." + name + ".XXXXXX");
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        const int error = errno;
        return Failure{"cannot write into " + folder + ": " + std::generic_category().message(error)};
    }
    ::close(fd);
    fs::copy_file(file, temp, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return Failure{"cannot copy " + file + " into " + folder + ": " + ec.message()};
    }
    return {};
}

Result<void> DesktopShell::openLink(const QString& url)
{
    if (!gio::looksLikeUri(url.toStdString()))
        return Failure{url.toLocal8Bit().toStdString() + " is not a link"};
    return gio::openUri(url.toUtf8().toStdString());
}
