#pragma once

#include <QImage>
#include <QPixmap>

// The program's own 16x16 pictures, drawn in code so that no image file has to ship.
// A button whose file yields no icon shows the file or the folder picture; a toolbar
// without an icon of its own shows the claws on its drag handle.
// ratio: device pixels per logical pixel, so the pictures stay sharp on a scaled screen.
QImage builtinFilePicture(qreal ratio = 1.0);
QImage builtinFolderPicture(qreal ratio = 1.0);
QPixmap builtinClawsPicture(qreal ratio = 1.0);
// A recall button's: a small toolbar of its own, which the button shows and hides.
QImage builtinRecallPicture(qreal ratio = 1.0);
