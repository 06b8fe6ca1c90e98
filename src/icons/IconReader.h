#pragma once

#include "platform/BoundedRead.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

// One kind of file that icons can be read out of. FileIconSource keeps a list of them
// and asks the first that takes a file; readers for programs, libraries, .desktop
// entries and icon themes join the list the same way. Readers keep no pictures: caching
// them is the source's business (a reader may keep what it learnt of a folder or theme).
class IconReader {
public:
    virtual ~IconReader() = default;
    // True when the file's first bytes (up to 64; fewer for a short file) show it is of
    // this reader's kind. Content is asked first: an icon named .png is still an icon.
    virtual bool recognises(const QByteArray& head) const = 0;
    // True when this reader is the one for a lower-case suffix, for files whose content
    // does not speak for itself.
    virtual bool handlesSuffix(const QString& suffix) const = 0;
    // How many icons the file holds; 0 when it cannot be read.
    virtual int count(const QString& path) const = 0;
    // Icon number index0 at side x side pixels; a null image when there is none.
    virtual QImage draw(const QString& path, int index0, int side = 16) const = 0;
    // True when a file of this kind holds at most one icon, whose drawing is its count:
    // the source then decodes the file once for both questions.
    virtual bool singleIcon() const { return false; }

    // True for a reader of what is not a file with content: a folder, or a name that is
    // no file at all (an icon theme's name). Asked only for those.
    virtual bool takesOther(const QString& path, bool folder) const
    {
        (void)path, (void)folder;
        return false;
    }
    // For kinds that only name another file's icon (.desktop entries, programs, folders,
    // theme names): icon index0 at side pixels is icon `index` of `file`, which the source
    // then draws (and keeps, and caches) as that file's. Nothing when there is none.
    struct Reference {
        QString file;
        int index = 0;
    };
    virtual bool refers() const { return false; }
    virtual std::optional<Reference> refer(const QString& path, int index0, int side) const
    {
        (void)path, (void)index0, (void)side;
        return std::nullopt;
    }
};

namespace iconfile {

// The side of an icon handed out on an ordinary screen, and the largest asked for.
constexpr int Side = 16;
constexpr int MaxSide = 256;

// The readers read their files through the platform's bounded read.
using ::readBounded;

// A Desktop Entry file is a few kilobytes; the ones with every translation stay far below
// this, and nothing larger is read as one.
inline constexpr qint64 MaxEntryFile = 1 << 20;

// Scales a picture smoothly to fit side x side, keeping its proportions, centred on a
// transparent square; a null image stays null.
QImage fitToIcon(const QImage& image, int side = Side);

} // namespace iconfile
