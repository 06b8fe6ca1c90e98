#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

// Icon names looked up by the freedesktop icon theme rules: the user's theme, the themes
// it inherits, then "hicolor", each in every base folder ($HOME/.icons, the icons
// folders of $XDG_DATA_HOME and $XDG_DATA_DIRS), then the plain pixmaps folder. Themes
// are read once, when first needed.
class IconTheme {
public:
    // The file of the icon named `name` that best suits side pixels; empty when no theme
    // has it. A name with a picture's suffix ("firefox.png") is looked up without it.
    QString lookup(const QString& name, int side) const;

    // The user's icon theme: Qt's, or GTK's setting, or "hicolor".
    static QString userThemeName();

    // How many theme names have been looked for in the base folders so far.
    std::size_t themesLookedFor() const { return m_themes.size(); }

    // Every icon name of the theme in use and the themes it inherits, hicolor among
    // them, sorted and each once.
    QStringList names() const;

private:
    struct Folder {
        QString path; // relative to the theme's folder
        int size = 0, scale = 1, minSize = 0, maxSize = 0, threshold = 2;
        enum class Type { Fixed, Scalable, Threshold } type = Type::Threshold;
    };
    struct Theme {
        QStringList roots; // the theme's folder in each base folder that has it
        QStringList inherits;
        std::vector<Folder> folders;
    };

    void start() const;
    const Theme* theme(const QString& name) const;
    // The themes a name is looked for in, in order: found once, on the first lookup.
    const QStringList& chain() const;
    QString lookupIn(const Theme& theme, const QString& name, int side) const;

    mutable bool m_started = false;
    mutable QStringList m_bases;
    mutable QString m_user;
    mutable std::map<QString, std::optional<Theme>> m_themes;
    mutable bool m_chainKnown = false;
    mutable QStringList m_chain;
};
