#pragma once

#include <QImage>
#include <QPixmap>

// The program's own 16x16 pictures, drawn in code so that no image file has to ship.
// A button whose file yields no icon shows the file or the folder picture; a toolbar
// without an icon of its own shows the claws on its drag handle.
QImage builtinFilePicture();
QImage builtinFolderPicture();
QPixmap builtinClawsPicture();
