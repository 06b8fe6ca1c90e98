#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr const char* EntryName = "vyrelight.desktop";

bool absolute(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}

} // namespace

std::string autostartFolder(const std::string& xdgConfigHome, const std::string& home)
{
    if (absolute(xdgConfigHome))
        return xdgConfigHome + "/autostart";
    if (absolute(home))
        return home + "/.config/autostart";
    return {};
}

std::string execArgument(const std::string& arg)
{
    // Reserved characters make the argument need quotes; inside them ", `, $ and \ take
    // a backslash. A literal % is written %%.
    const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = arg.empty();
    std::string inner;
    for (const char c : arg) {
        if (reserved.find(c) != std::string::npos)
            quote = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            inner += '\\';
        if (c == '%')
            inner += '%';
        inner += c;
    }
    std::string exec = quote ? "\"" + inner + "\"" : inner;
    // The Exec value is a string value too, where a backslash is written twice and the
    // characters that would end or bend the line are escaped: a raw line break would end
    // the Exec line and start keys of its own.
    std::string out;
    for (const char c : exec) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<std::string> entryCannotHold(const std::vector<std::string>& command)
{
    for (const std::string& arg : command) {
        const QByteArray bytes = QByteArray::fromStdString(arg);
        // An entry is UTF-8 text; other control characters than the escaped ones have no
        // way into it.
        if (!bytes.isValidUtf8())
            return "the autostart entry cannot hold " + arg + ": the name is not UTF-8 text";
        for (const char c : arg)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t' && c != '\r') || c == 0x7f)
                return "the autostart entry cannot hold " + arg + ": the name holds a control character";
    }
    return std::nullopt;
}

std::string autostartEntry(const std::vector<std::string>& command)
{
    std::string exec;
    for (const std::string& arg : command) {
        if (!exec.empty())
            exec += ' ';
        exec += execArgument(arg);
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vyrelight Toolbar\n"
           "Comment=Small floating toolbars that start programs and open documents\n"
           "Exec=" + exec + "\n"
           "Icon=vyrelight\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::vector<std::string> systemAutostartFolders(const std::string& xdgConfigDirs)
{
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= xdgConfigDirs.size()) {
        const std::size_t end = std::min(xdgConfigDirs.find(':', start), xdgConfigDirs.size());
        const std::string dir = xdgConfigDirs.substr(start, end - start);
        if (absolute(dir))
            folders.push_back(dir + "/autostart");
        start = end + 1;
    }
    if (folders.empty())
        folders.push_back("/etc/xdg/autostart");
    return folders;
}

namespace {

Result<std::string> writeEntry(const QString& path, const std::string& text)
{
    // Written whole or not at all: an entry cut short would start something else.
    QSaveFile entry(path);
    if (!entry.open(QIODevice::WriteOnly)
        || entry.write(text.data(), qint64(text.size())) != qint64(text.size()) || !entry.commit())
        return Failure{"The autostart entry " + path.toLocal8Bit().toStdString() + " cannot be written: "
                       + entry.errorString().toLocal8Bit().toStdString()};
    return path.toLocal8Bit().toStdString();
}

} // namespace

Result<std::string> setAutostart(const std::string& folder, bool on, const std::vector<std::string>& command,
                                 const std::vector<std::string>& systemFolders)
{
    if (folder.empty())
        return Failure{"There is no autostart folder: HOME is not set."};
    const QString dir = QString::fromLocal8Bit(folder);
    const QString path = dir + "/" + EntryName;
    const std::string shown = path.toLocal8Bit().toStdString();
    const QFileInfo folderInfo(dir);
    if (folderInfo.exists() && !folderInfo.isDir())
        return Failure{"The autostart folder " + folder + " is a file, not a folder: nothing was changed."};

    std::string systemEntry;
    for (const std::string& system : systemFolders)
        if (systemEntry.empty() && QFileInfo::exists(QString::fromLocal8Bit(system) + "/" + EntryName))
            systemEntry = system + "/" + EntryName;

    if (!on && !systemEntry.empty()) {
        if (!QDir().mkpath(dir))
            return Failure{"The autostart folder " + folder + " cannot be made: nothing was changed."};
        const Result<std::string> hidden = writeEntry(
            path, "[Desktop Entry]\nType=Application\nName=Vyrelight Toolbar\nExec=vyrelight\nHidden=true\n");
        if (!hidden)
            return hidden;
        return "Vyrelight Toolbar will no longer start at login: wrote " + shown + ", which hides " + systemEntry + ".";
    }
    if (!on) {
        if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
            return "Vyrelight Toolbar was not set to start at login (there is no " + shown + ").";
        QFile entry(path);
        if (!entry.remove())
            return Failure{"The autostart entry " + shown + " cannot be removed: "
                           + entry.errorString().toLocal8Bit().toStdString()};
        return "Vyrelight Toolbar will no longer start at login: removed " + shown + ".";
    }

    if (!QDir().mkpath(dir))
        return Failure{"The autostart folder " + folder + " cannot be made: nothing was changed."};
    const Result<std::string> written = writeEntry(path, autostartEntry(command));
    if (!written)
        return written;
    return "Vyrelight Toolbar will start at login: wrote " + shown + ".";
}
