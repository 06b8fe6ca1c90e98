#include "platform/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

std::string FindDataFolder(const std::string& programFolder)
{
    const QString own = QString::fromLocal8Bit(programFolder);
    if (QFileInfo::exists(own + "/Toolbars.cfg") || ::access(programFolder.c_str(), W_OK) == 0)
        return programFolder;

    // GenericConfigLocation honours XDG_CONFIG_HOME.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return {};
    const QString folder = base + "/vyrelight";
    if (!QDir().mkpath(folder))
        return {};
    return folder.toLocal8Bit().toStdString();
}
