#include "icons/TargetIcon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The special folders that themes draw apart, by the XDG user directories (which Qt
// reads from user-dirs.dirs) and home itself.
QString specialFolderIcon(const QString& canonical)
{
    const struct {
        QStandardPaths::StandardLocation location;
        const char* icon;
    } special[] = {
        {QStandardPaths::DesktopLocation, "user-desktop"},
        {QStandardPaths::DocumentsLocation, "folder-documents"},
        {QStandardPaths::DownloadLocation, "folder-download"},
        {QStandardPaths::MusicLocation, "folder-music"},
        {QStandardPaths::PicturesLocation, "folder-pictures"},
        {QStandardPaths::MoviesLocation, "folder-videos"},
        {QStandardPaths::TemplatesLocation, "folder-templates"},
        {QStandardPaths::PublicShareLocation, "folder-publicshare"},
    };
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    if (canonical == home)
        return QStringLiteral("user-home");
    for (const auto& s : special) {
        const QString folder = QFileInfo(QStandardPaths::writableLocation(s.location)).canonicalFilePath();
        // An unset user folder falls back to home, which is no special folder of its own.
        if (!folder.isEmpty() && folder != home && folder == canonical)
            return QLatin1String(s.icon);
    }
    return {};
}

// True when the file speaks for itself as a program or an application entry: its icon
// is its own, not its type's.
bool hasOwnIcon(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    char head[64] = {};
    struct stat st{};
    ssize_t n = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        n = ::read(fd, head, sizeof head);
    ::close(fd);
    const QByteArray bytes(head, n > 0 ? qsizetype(n) : 0);
    if (path.endsWith(QLatin1String(".desktop")) || bytes.startsWith("[Desktop Entry]")
        || (bytes.startsWith("#!") && bytes.contains("\n[Desktop Entry]")))
        return true;
    // Windows programs and libraries carry their icons inside.
    if (bytes.startsWith("MZ"))
        return true;
    return (bytes.startsWith("\x7f" "ELF") || bytes.startsWith("#!")) && ::access(name.constData(), X_OK) == 0;
}

} // namespace

TargetIcon targetIcon(const QString& rawTarget)
{
    TargetIcon out;
    QString target = rawTarget.trimmed();
    if (target.isEmpty())
        return out;
    if (target.startsWith(QLatin1String("http://")) || target.startsWith(QLatin1String("https://"))) {
        out.themeNames << QStringLiteral("text-html") << QStringLiteral("applications-internet");
        return out;
    }
    // A bare program name starts whatever PATH finds under it.
    if (!target.contains(QLatin1Char('/'))) {
        const QString found = QStandardPaths::findExecutable(target);
        if (found.isEmpty())
            return out;
        target = found;
    }
    struct stat st{};
    const QByteArray name = QFile::encodeName(target);
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        const QString special = specialFolderIcon(QFileInfo(target).canonicalFilePath());
        if (!special.isEmpty())
            out.themeNames << special;
        out.themeNames << QStringLiteral("folder");
        return out;
    }
    if (exists && S_ISREG(st.st_mode) && hasOwnIcon(target)) {
        out.own = true;
        out.program = target;
    }
    // Its type, by content only for a regular file: anything else could block a read.
    const QMimeDatabase mimes;
    const QMimeType type = exists && S_ISREG(st.st_mode) ? mimes.mimeTypeForFile(target)
                                                          : mimes.mimeTypeForFile(target, QMimeDatabase::MatchExtension);
    // A file of no known type keeps the built-in file picture.
    if (type.isValid() && !type.isDefault()) {
        out.themeNames << type.iconName();
        if (type.genericIconName() != type.iconName())
            out.themeNames << type.genericIconName();
    }
    return out;
}
