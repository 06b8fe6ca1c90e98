#include "platform/QtPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

QPoint QtPointer::cursorPixel() const
{
    return QCursor::pos();
}

double QtPointer::twipsPerPixelX() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

double QtPointer::twipsPerPixelY() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
