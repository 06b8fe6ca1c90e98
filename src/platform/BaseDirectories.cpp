#include "platform/BaseDirectories.h"

#include "store/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace {

bool absolute(const char* path)
{
    return path && path[0] == '/';
}

void unsetRelative(const char* name)
{
    const char* value = std::getenv(name);
    if (value && !absolute(value))
        ::unsetenv(name);
}

void keepAbsoluteFolders(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return;
    const std::string list = value;
    std::string kept;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const std::string folder = list.substr(start, end - start);
        if (absolute(folder.c_str()))
            kept += (kept.empty() ? "" : ":") + folder;
        start = end + 1;
    }
    if (kept == list)
        return;
    if (kept.empty())
        ::unsetenv(name); // the default folders then apply
    else
        ::setenv(name, kept.c_str(), 1);
}

} // namespace

std::string environmentValue(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

void ignoreRelativeBaseDirectories()
{
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
        unsetRelative(name);
    keepAbsoluteFolders("XDG_DATA_DIRS");
    keepAbsoluteFolders("XDG_CONFIG_DIRS");
    const char* home = std::getenv("HOME");
    if (home && !absolute(home)) {
        const passwd* account = ::getpwuid(::getuid());
        if (account && absolute(account->pw_dir))
            ::setenv("HOME", account->pw_dir, 1);
        else
            ::unsetenv("HOME");
    }
}

std::string userCacheFile(const char* name)
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    // Only an absolute folder counts, as the base directory rules say.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return QFile::encodeName(base + QStringLiteral("/vyrelight/") + QString::fromUtf8(name)).toStdString();
}

Result<void> writeCacheFile(const std::string& path, std::string_view bytes)
{
    const QString folder = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            return Failure{"cannot make the folder " + QFile::encodeName(folder).toStdString()};
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return writeFileAtomically(path, bytes);
}
