#pragma once

#include <QImage>
#include <QStringList>

#include <string>

// Icons out of files: pictures, icon files, Windows programs and libraries, .desktop
// entries, programs, folders of pictures and icon theme names. Indexes are 0-based here.
class IconSource {
public:
    virtual ~IconSource() = default;
    // How many icons the file holds; 0 when it is missing or holds none.
    virtual int count(const std::string& file) = 0;
    // Icon number index0 drawn at side x side pixels (16, or more for a scaled screen);
    // a null image when there is none.
    virtual QImage draw(const std::string& file, int index0, int side = 16) = 0;
    // What a target shows on a button that has no icon of its own: a program's or an
    // application entry's own icon, a folder's or a document's type icon from the icon
    // theme. A null image when the desktop has none: the caller then shows its built-in
    // picture, as it does for a source that knows no types.
    virtual QImage drawTarget(const std::string& target, int side = 16)
    {
        (void)target, (void)side;
        return {};
    }
    // Every icon name of the desktop's icon theme (the one in use and those it inherits),
    // sorted and each once: what a theme name for a button is chosen from. None for a
    // source that knows no theme.
    virtual QStringList themeNames() { return {}; }
};
