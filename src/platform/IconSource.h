#pragma once

#include <QImage>

#include <string>

// Icons out of files: .ico, PNG, SVG, XPM, JPEG now; programs, libraries, .desktop
// entries and icon themes later. Indexes are 0-based here.
class IconSource {
public:
    virtual ~IconSource() = default;
    // How many icons the file holds; 0 when it is missing or holds none.
    virtual int count(const std::string& file) = 0;
    // Icon number index0 drawn at side x side pixels (16, or more for a scaled screen);
    // a null image when there is none.
    virtual QImage draw(const std::string& file, int index0, int side = 16) = 0;
};
