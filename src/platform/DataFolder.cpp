#include "platform/DataFolder.h"

#include "platform/BaseDirectories.h"
#include "store/Paths.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

std::string configFolder(const DataFolderFacts& facts)
{
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the XDG rules say.
    if (isAbsolutePath(facts.xdgConfigHome))
        return facts.xdgConfigHome + "/vyrelight";
    if (isAbsolutePath(facts.home))
        return facts.home + "/.config/vyrelight";
    return {};
}

} // namespace

std::string chooseDataFolder(const DataFolderFacts& facts)
{
    if (!facts.requested.empty()) {
        const std::string path = isAbsolutePath(facts.requested) ? facts.requested
                                                           : facts.currentFolder + "/" + facts.requested;
        return QDir::cleanPath(QString::fromLocal8Bit(path)).toLocal8Bit().toStdString();
    }
    if (!facts.installed && (facts.programFolderHoldsCfg || facts.programFolderWritable))
        return facts.programFolder;
    return configFolder(facts);
}

bool isInstalledProgram(const std::string& programFolder)
{
    const QString bin = QString::fromLocal8Bit(programFolder);
    return QFileInfo(bin).fileName() == QLatin1String("bin")
        && QFileInfo::exists(bin + QStringLiteral("/../share/applications/vyrelight.desktop"));
}

Result<std::string> findDataFolder(const std::string& programFolder, const std::string& requested)
{
    DataFolderFacts facts;
    facts.requested = requested;
    facts.programFolder = programFolder;
    facts.installed = isInstalledProgram(programFolder);
    facts.programFolderHoldsCfg = QFileInfo::exists(QString::fromLocal8Bit(programFolder) + "/Toolbars.cfg");
    facts.programFolderWritable = ::access(programFolder.c_str(), W_OK) == 0;
    facts.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
    facts.home = environmentValue("HOME");
    facts.currentFolder = QDir::currentPath().toLocal8Bit().toStdString();

    const std::string folder = chooseDataFolder(facts);
    if (folder.empty())
        return Failure{"There is no folder to keep the toolbars in: HOME is not set and no --data-dir was given."};
    const QString path = QString::fromLocal8Bit(folder);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return Failure{"The toolbars cannot be kept in\n" + folder + "\nbecause it is a file, not a folder."};
    if (!info.exists()) {
        // mkpath leaves errno at the step that failed.
        errno = 0;
        if (!QDir().mkpath(path)) {
            const int why = errno;
            std::string reason = "The folder for the toolbars cannot be made:\n" + folder;
            if (why)
                reason.append("\n").append(std::strerror(why));
            return Failure{reason};
        }
    }
    return folder;
}
