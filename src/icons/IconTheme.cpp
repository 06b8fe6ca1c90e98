#include "icons/IconTheme.h"

#include "formats/DesktopFile.h"
#include "icons/IconReader.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSet>

#include <climits>
#include <limits>
#include <string_view>
#include <cstdlib>

namespace {

// An index.theme is a few kilobytes; the largest known are below a megabyte, and one
// beyond it is not read (a theme of megabytes is names, not folders).
constexpr qint64 MaxIndexFile = 1 << 20;
// Inheritance deeper than this is a loop or nonsense.
constexpr int MaxThemes = 32;
// A theme names one or two parents; a longer Inherits list is cut here, so the walk
// looks at no more than MaxThemes x MaxInherits names.
constexpr qsizetype MaxInherits = 16;
// The largest themes have a few hundred folders; each is a stat at every lookup.
constexpr qsizetype MaxFolders = 2048;
const char* const Suffixes[] = {".png", ".svg", ".xpm"};

QString dataHome()
{
    const QString v = qEnvironmentVariable("XDG_DATA_HOME");
    return v.isEmpty() || QDir::isRelativePath(v) ? QDir::homePath() + QStringLiteral("/.local/share") : v;
}

QStringList dataDirs()
{
    QString v = qEnvironmentVariable("XDG_DATA_DIRS");
    if (v.isEmpty())
        v = QStringLiteral("/usr/local/share:/usr/share");
    QStringList out;
    for (const QString& d : v.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (!QDir::isRelativePath(d))
            out << d;
    return out;
}

// Theme lists (Inherits, Directories) are separated by commas; at most max items.
QStringList commaList(const std::string* value, qsizetype max = std::numeric_limits<qsizetype>::max())
{
    QStringList out;
    if (!value)
        return out;
    std::string_view rest(*value);
    while (!rest.empty() && out.size() < max) {
        const std::size_t comma = std::min(rest.find(','), rest.size());
        const QString item = QString::fromUtf8(rest.data(), qsizetype(comma)).trimmed();
        if (!item.isEmpty())
            out << item;
        rest.remove_prefix(std::min(comma + 1, rest.size()));
    }
    return out;
}

int number(const std::vector<desktop::Group>& groups, const std::string& group, const char* key, int fallback)
{
    const std::string* v = desktop::value(groups, group, key);
    if (!v)
        return fallback;
    char* end = nullptr;
    const long n = std::strtol(v->c_str(), &end, 10);
    return end == v->c_str() || n < 0 || n > 4096 ? fallback : int(n);
}

} // namespace

QString IconTheme::userThemeName()
{
    QString name = QIcon::themeName();
    if (name.isEmpty() || name == QLatin1String("hicolor")) {
        // Outside a desktop that tells Qt its theme, GTK's setting is the user's choice.
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty() || QDir::isRelativePath(config))
            config = QDir::homePath() + QStringLiteral("/.config");
        const QByteArray ini = iconfile::readBounded(config + QStringLiteral("/gtk-3.0/settings.ini"), 1 << 20);
        const auto groups = desktop::parse(std::string_view(ini.constData(), std::size_t(ini.size())));
        if (const std::string* v = desktop::value(groups, "Settings", "gtk-icon-theme-name"))
            name = QString::fromStdString(*v);
    }
    return name.isEmpty() ? QStringLiteral("hicolor") : name;
}

const IconTheme::Theme* IconTheme::theme(const QString& name) const
{
    auto it = m_themes.find(name);
    if (it != m_themes.end())
        return it->second ? &*it->second : nullptr;
    std::optional<Theme> found;
    if (!name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String("..")) {
        for (const QString& base : m_bases) {
            const QString root = base + QLatin1Char('/') + name;
            if (!QFileInfo(root).isDir())
                continue;
            if (!found) {
                const QByteArray index = iconfile::readBounded(root + QStringLiteral("/index.theme"), MaxIndexFile);
                if (index.isEmpty())
                    continue;
                found.emplace();
                const auto groups = desktop::parse(std::string_view(index.constData(), std::size_t(index.size())));
                found->inherits = commaList(desktop::value(groups, "Icon Theme", "Inherits"), MaxInherits);
                const QStringList folders = commaList(desktop::value(groups, "Icon Theme", "Directories"), MaxFolders)
                    + commaList(desktop::value(groups, "Icon Theme", "ScaledDirectories"), MaxFolders);
                for (const QString& folder : folders) {
                    const std::string f = folder.toStdString();
                    Folder d;
                    d.path = folder;
                    d.size = number(groups, f, "Size", 0);
                    if (d.size == 0 || d.path.contains(QLatin1String("..")))
                        continue;
                    d.scale = std::max(1, number(groups, f, "Scale", 1));
                    d.minSize = number(groups, f, "MinSize", d.size);
                    d.maxSize = number(groups, f, "MaxSize", d.size);
                    d.threshold = number(groups, f, "Threshold", 2);
                    const std::string* type = desktop::value(groups, f, "Type");
                    d.type = !type ? Folder::Type::Threshold
                        : *type == "Fixed" ? Folder::Type::Fixed
                        : *type == "Scalable" ? Folder::Type::Scalable
                                              : Folder::Type::Threshold;
                    found->folders.push_back(d);
                }
            }
            found->roots << root;
        }
    }
    it = m_themes.emplace(name, std::move(found)).first;
    return it->second ? &*it->second : nullptr;
}

QString IconTheme::lookupIn(const Theme& theme, const QString& name, int side) const
{
    // An exact fit first; otherwise the folder whose sizes come nearest.
    QString closest;
    int closestDistance = INT_MAX;
    for (const Folder& d : theme.folders) {
        const int size = d.size * d.scale;
        int distance = 0;
        switch (d.type) {
        case Folder::Type::Fixed:
            distance = std::abs(size - side);
            break;
        case Folder::Type::Scalable:
            distance = side < d.minSize * d.scale ? d.minSize * d.scale - side
                : side > d.maxSize * d.scale      ? side - d.maxSize * d.scale
                                                  : 0;
            break;
        case Folder::Type::Threshold:
            distance = side < size - d.threshold ? size - d.threshold - side
                : side > size + d.threshold      ? side - size - d.threshold
                                                 : 0;
            break;
        }
        if (distance >= closestDistance)
            continue;
        for (const QString& root : theme.roots)
            for (const char* suffix : Suffixes) {
                const QString file = root + QLatin1Char('/') + d.path + QLatin1Char('/') + name + QLatin1String(suffix);
                if (QFileInfo(file).isFile()) {
                    if (distance == 0)
                        return file;
                    closest = file;
                    closestDistance = distance;
                    break;
                }
            }
    }
    return closest;
}

const QStringList& IconTheme::chain() const
{
    if (m_chainKnown)
        return m_chain;
    m_chainKnown = true;
    // The user's theme and what it inherits, depth first, each once; hicolor last. Walked
    // once a run: the themes are read once too.
    QStringList pending{m_user}; // a stack: the next name last
    while (!pending.isEmpty() && m_chain.size() < MaxThemes) {
        const QString t = pending.takeLast();
        if (m_chain.contains(t) || t == QLatin1String("hicolor"))
            continue;
        const Theme* th = theme(t);
        if (!th)
            continue;
        m_chain << t;
        for (auto it = th->inherits.crbegin(); it != th->inherits.crend(); ++it)
            pending << *it;
    }
    m_chain << QStringLiteral("hicolor");
    return m_chain;
}

void IconTheme::start() const
{
    if (m_started)
        return;
    m_started = true;
    m_bases << QDir::homePath() + QStringLiteral("/.icons") << dataHome() + QStringLiteral("/icons");
    for (const QString& d : dataDirs())
        m_bases << d + QStringLiteral("/icons");
    m_user = userThemeName();
    // Nothing chosen: the theme the desktop's toolkits fall back to themselves, when it is
    // installed. hicolor alone holds applications' icons, no folders or documents.
    if (m_user == QLatin1String("hicolor"))
        for (const char* fallback : {"Adwaita", "breeze"})
            if (theme(QLatin1String(fallback))) {
                m_user = QLatin1String(fallback);
                break;
            }
}

QStringList IconTheme::names() const
{
    start();
    QSet<QString> seen;
    for (const QString& t : chain())
        if (const Theme* th = theme(t))
            for (const QString& root : th->roots)
                for (const Folder& d : th->folders)
                    for (const QString& file : QDir(root + QLatin1Char('/') + d.path)
                                                   .entryList({QStringLiteral("*.png"), QStringLiteral("*.svg"),
                                                               QStringLiteral("*.xpm")},
                                                              QDir::Files))
                        // "x-symbolic.symbolic.png" are renderings of the "x-symbolic" icon.
                        if (!file.endsWith(QLatin1String(".symbolic.png")))
                            seen.insert(file.left(file.size() - 4));
    QStringList out(seen.begin(), seen.end());
    out.sort();
    return out;
}

QString IconTheme::lookup(const QString& rawName, int side) const
{
    start();
    QString name = rawName;
    for (const char* suffix : Suffixes)
        if (name.endsWith(QLatin1String(suffix)))
            name.chop(4);
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
        return {};

    for (const QString& t : chain())
        if (const Theme* th = theme(t)) {
            const QString file = lookupIn(*th, name, side);
            if (!file.isEmpty())
                return file;
        }
    for (const QString& d : dataDirs())
        for (const char* suffix : Suffixes) {
            const QString file = d + QStringLiteral("/pixmaps/") + name + QLatin1String(suffix);
            if (QFileInfo(file).isFile())
                return file;
        }
    return {};
}
