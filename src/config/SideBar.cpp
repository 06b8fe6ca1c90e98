#include "config/SideBar.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

SideBar::SideBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picSideBar"));
    setFixedWidth(Width);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void SideBar::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.deviceIndependentSize() != QSizeF(size())
        || m_picture.devicePixelRatio() != ratio)
        m_picture = draw(size(), ratio, palette());
    QPainter(this).drawPixmap(0, 0, m_picture);
}

void SideBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        m_picture = {};
    QWidget::changeEvent(event);
}

QPixmap SideBar::draw(QSize size, qreal ratio, const QPalette& palette)
{
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    const int w = size.width();
    const int h = size.height();
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor onHighlight = palette.color(QPalette::Active, QPalette::HighlightedText);
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor top((highlight.red() + text.red()) / 2, (highlight.green() + text.green()) / 2,
                     (highlight.blue() + text.blue()) / 2);
    QPainter p(&picture);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, top);
    sky.setColorAt(0.6, highlight);
    sky.setColorAt(1.0, highlight);
    p.fillRect(QRect(QPoint(), size), sky);
    QColor star = onHighlight;
    star.setAlpha(90);
    p.setPen(star);
    for (int y = 14; y < h * 2 / 5; y += 23)
        p.drawPoint(5 + (y * 7) % 16, y);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(onHighlight);
    p.translate(w - 14, h - 8);
    p.rotate(-90);
    p.drawText(0, 0, QStringLiteral("Vyrelight"));
    return picture;
}
