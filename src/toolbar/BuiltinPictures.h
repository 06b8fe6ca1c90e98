#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QPixmap>

class QPainter;

// The program's own 16x16 pictures, drawn in code so that no image file has to ship.
// A button whose file yields no icon shows the file or the folder picture; a toolbar
// without an icon of its own shows the claws on its drag handle.
// ratio: device pixels per logical pixel, so the pictures stay sharp on a scaled screen.
QImage builtinFilePicture(qreal ratio = 1.0);
QImage builtinFolderPicture(qreal ratio = 1.0);
// A recall button's: a small toolbar of its own, which the button shows and hides.
QImage builtinRecallPicture(qreal ratio = 1.0);
//
// The claws are drawn in a colour of the palette they stand on, so a dark theme shows
// them as well as a light one: clawsInk gives it, paintClaws draws them into the 16x16
// square at the painter's origin.
QColor clawsInk(const QPalette& palette);
void paintClaws(QPainter& p, const QColor& ink);
QPixmap builtinClawsPicture(qreal ratio, const QColor& ink);
