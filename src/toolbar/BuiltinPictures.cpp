#include "toolbar/BuiltinPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// 16x16 logical pixels, at ratio device pixels each; painters draw on it in logical ones.
QImage blank16(qreal ratio)
{
    ratio = ratio >= 1.0 && ratio <= 16.0 ? ratio : 1.0;
    const int side = qCeil(16 * ratio);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QImage builtinFilePicture(qreal ratio)
{
    // A sheet of paper with a folded top-right corner and a few lines of text.
    QImage image = blank16(ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(9.5, 0.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 15.5);
    sheet.lineTo(2.5, 15.5);
    sheet.closeSubpath();
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(210, 210, 210));
    p.drawPolygon(QPolygonF({QPointF(9.5, 0.5), QPointF(9.5, 4.5), QPointF(13.5, 4.5)}));
    p.setPen(QColor(120, 150, 200));
    for (int y = 7; y <= 13; y += 2)
        p.drawLine(QPointF(4.5, y + 0.5), QPointF(y == 13 ? 9.5 : 11.5, y + 0.5));
    return image;
}

QImage builtinFolderPicture(qreal ratio)
{
    // A manila folder: a tab at the back, the flap in front.
    QImage image = blank16(ratio);
    QPainter p(&image);
    const QColor edge(150, 110, 30);
    p.setPen(edge);
    p.setBrush(QColor(230, 190, 90));
    p.drawPolygon(QPolygonF({QPointF(0.5, 3.5), QPointF(5.5, 3.5), QPointF(7.5, 5.5), QPointF(14.5, 5.5),
                             QPointF(14.5, 13.5), QPointF(0.5, 13.5)}));
    p.setBrush(QColor(250, 215, 120));
    p.drawPolygon(QPolygonF({QPointF(2.5, 7.5), QPointF(15.5, 7.5), QPointF(14.5, 13.5), QPointF(0.5, 13.5)}));
    return image;
}

QColor clawsInk(const QPalette& palette)
{
    // The window's text colour, softened a third of the way towards the window itself:
    // the marks read as a grip, not as text, and stand out on a light theme or a dark one.
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const auto mix = [](int a, int b) { return (2 * a + b) / 3; };
    return QColor(mix(text.red(), window.red()), mix(text.green(), window.green()), mix(text.blue(), window.blue()));
}

void paintClaws(QPainter& p, const QColor& ink)
{
    // Three slanted claw marks: the place to grab the toolbar by.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal x = 3.0 + 4.5 * i;
        p.drawLine(QPointF(x + 2.5, 2.0), QPointF(x - 1.0, 14.0));
    }
    p.restore();
}

QPixmap builtinClawsPicture(qreal ratio, const QColor& ink)
{
    QImage image = blank16(ratio);
    QPainter p(&image);
    paintClaws(p, ink);
    p.end();
    return QPixmap::fromImage(image);
}

QImage builtinRecallPicture(qreal ratio)
{
    // A little bar: a frame with a handle and two buttons, and an arrow that says "show".
    QImage image = blank16(ratio);
    QPainter p(&image);
    p.setPen(QColor(60, 70, 90));
    p.setBrush(QColor(225, 230, 240));
    p.drawRect(QRectF(0.5, 1.5, 15, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(2, 3, 1, 5));
    p.drawRect(QRectF(4, 3, 1, 5));
    p.setBrush(QColor(80, 130, 210));
    p.drawRect(QRectF(7, 3, 3, 5));
    p.setBrush(QColor(90, 170, 90));
    p.drawRect(QRectF(11, 3, 3, 5));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(QColor(60, 70, 90));
    p.drawPolygon(QPolygonF({QPointF(4, 11), QPointF(12, 11), QPointF(8, 15.5)}));
    return image;
}
