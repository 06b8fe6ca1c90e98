#pragma once

#include <QImage>
#include <QPixmap>

#include <unordered_map>
#include <utility>
#include <vector>

// The toolbar's pictures: 16x16 logical pixels (more device pixels on a scaled screen) at
// positions from 1. Positions 1 and 2 always hold the built-in file and folder pictures.
class ImageList {
public:
    // The built-in pictures' positions, and the first for pictures of a toolbar's own.
    static constexpr int FilePicture = 1;
    static constexpr int FolderPicture = 2;
    static constexpr int FirstCustom = 3;

    // file and folder are the built-in pictures, drawn once and shared by every list
    // (pixmaps share their data when copied).
    ImageList(const QPixmap& file, const QPixmap& folder);

    // Puts a picture at position (FirstCustom and up; the built-in ones are never
    // replaced). Grows as needed.
    void put(int position, const QPixmap& picture);
    // The picture at position; a null pixmap for 0 or a position never filled.
    QPixmap picture(int position) const;
    int count() const { return static_cast<int>(m_pictures.size()); }
    // Drops every picture after the two built-in ones.
    void clearCustom();

private:
    std::vector<QPixmap> m_pictures; // index 0 is position 1
};

// Buttons' pictures made from drawn icons, shared by every button and window that shows
// the same icon: many buttons of a set show one file's icon, and the icon source hands
// out that one image (copies of it) for as long as the file is unchanged. Made again
// for an image of other pixels, as the source draws when a file changes.
class ButtonPictures {
public:
    // icon as a 16x16 picture at ratio device pixels per pixel, scaled when drawn at
    // another size; a null pixmap for a null image.
    QPixmap picture(const QImage& icon, qreal ratio);

private:
    struct Made {
        qreal ratio;
        QPixmap picture;
    };
    // By the image's cache key, which its copies share and no other image has.
    std::unordered_multimap<qint64, Made> m_made;
};
