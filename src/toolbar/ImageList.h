#pragma once

#include <QPixmap>

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
