#include "platform/QtPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {

double perPixel(double dpi)
{
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

const QScreen* orPrimary(const QScreen* screen)
{
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

QPoint QtPointer::cursorPixel() const
{
    return QCursor::pos();
}

double QtPointer::twipsPerPixelX(const QScreen* screen) const
{
    const QScreen* s = orPrimary(screen);
    return perPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

double QtPointer::twipsPerPixelY(const QScreen* screen) const
{
    const QScreen* s = orPrimary(screen);
    return perPixel(s ? s->logicalDotsPerInchY() : 96.0);
}
