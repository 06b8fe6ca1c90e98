#include "icons/ProgramIconReader.h"

#include "formats/DesktopFile.h"
#include "icons/IconTheme.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// More entries than any system installs; the rest are not read.
constexpr int MaxEntries = 20000;

QStringList applicationFolders()
{
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty() || QDir::isRelativePath(home))
        home = QDir::homePath() + QStringLiteral("/.local/share");
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList out{home + QStringLiteral("/applications")};
    for (const QString& d : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (!QDir::isRelativePath(d))
            out << d + QStringLiteral("/applications");
    return out;
}

} // namespace

ProgramIconReader::ProgramIconReader(std::shared_ptr<const IconTheme> theme) : m_theme(std::move(theme)) {}

bool ProgramIconReader::recognises(const QByteArray& head) const
{
    return head.startsWith("\x7f" "ELF") || head.startsWith("#!");
}

int ProgramIconReader::count(const QString& path) const
{
    return refer(path, 0, iconfile::Side) ? 1 : 0;
}

void ProgramIconReader::readEntries() const
{
    m_read = true;
    int read = 0;
    // Earlier folders win: the user's own entries hide the system's.
    for (const QString& folder : applicationFolders()) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext() && read < MaxEntries) {
            const QString file = it.next();
            ++read;
            const QByteArray bytes = iconfile::readBounded(file, iconfile::MaxEntryFile);
            const auto groups = desktop::parse(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            const std::string* icon = desktop::value(groups, "Desktop Entry", "Icon");
            if (!icon || icon->empty())
                continue;
            for (const char* key : {"TryExec", "Exec"}) {
                const std::string* exec = desktop::value(groups, "Desktop Entry", key);
                if (!exec)
                    continue;
                const QString program = QFile::decodeName(QByteArray::fromStdString(desktop::program(*exec)));
                if (program.isEmpty())
                    continue;
                if (program.startsWith(QLatin1Char('/'))) {
                    const QString canonical = QFileInfo(program).canonicalFilePath();
                    if (!canonical.isEmpty() && !m_byPath.contains(canonical))
                        m_byPath.insert(canonical, file);
                } else if (!program.contains(QLatin1Char('/')) && !m_byName.contains(program)) {
                    m_byName.insert(program, file);
                }
            }
        }
    }
}

QString ProgramIconReader::entryFor(const QString& program) const
{
    if (!m_read)
        readEntries();
    const QString canonical = QFileInfo(program).canonicalFilePath();
    if (const auto it = m_byPath.constFind(canonical); it != m_byPath.constEnd())
        return *it;
    // An entry that names the program bare starts whatever PATH finds under that name:
    // it is this program's only when PATH finds this very file.
    const QString name = QFileInfo(program).fileName();
    if (const auto it = m_byName.constFind(name); it != m_byName.constEnd()) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty() && QFileInfo(found).canonicalFilePath() == canonical)
            return *it;
    }
    return {};
}

std::optional<IconReader::Reference> ProgramIconReader::refer(const QString& path, int index0, int side) const
{
    if (index0 != 0)
        return std::nullopt;
    // Only what the kernel would run: a script without the right to run is a text file.
    if (::access(QFile::encodeName(path).constData(), X_OK) != 0)
        return std::nullopt;
    const QString entry = entryFor(path);
    if (!entry.isEmpty())
        return Reference{entry, 0};
    const QString file = m_theme->lookup(QFileInfo(path).fileName(), side);
    if (!file.isEmpty())
        return Reference{file, 0};
    return std::nullopt;
}
