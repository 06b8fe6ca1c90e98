#include "toolbar/StripPainting.h"

#include "toolbar/CaptionCache.h"
#include "toolbar/ImageList.h"
#include "toolbar/StripLayout.h"

#include <QFont>
#include <QIcon>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLine>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QWidget>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// A button's picture, whatever size the button takes for its caption.
constexpr int PictureSide = 16;

// A few marks and numbers (written as QByteArray::number writes them) in a buffer of
// its own, never past its end: the end of a kept caption's key, made for every caption
// at every paint.
class KeyTail {
public:
    void put(char c)
    {
        if (m_size < sizeof m_bytes)
            m_bytes[m_size++] = c;
    }
    template <typename Number>
    void number(Number n, int base = 10)
    {
        m_size = std::size_t(std::to_chars(m_bytes + m_size, m_bytes + sizeof m_bytes, n, base).ptr - m_bytes);
    }
    const char* data() const { return m_bytes; }
    qsizetype size() const { return qsizetype(m_size); }

private:
    char m_bytes[96];
    std::size_t m_size{0};
};

// A gap shows a thin line across the bar, as flat toolbars mark their groups. Its colour
// lies halfway between the window's and its text's, so it shows on a light theme and on
// a dark one and stays quieter than the buttons' pictures.
QColor separatorInk(const QPalette& palette)
{
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    return QColor((text.red() + window.red()) / 2, (text.green() + window.green()) / 2,
                  (text.blue() + window.blue()) / 2);
}

void paintSeparator(QPainter& p, const QRect& gap, const QColor& ink)
{
    if (gap.width() <= gap.height()) { // between buttons side by side
        const int inset = gap.height() / 6;
        p.fillRect(gap.left() + gap.width() / 2, gap.top() + inset, 1, gap.height() - 2 * inset, ink);
    } else { // between buttons one above the other
        const int inset = gap.width() / 6;
        p.fillRect(gap.left() + inset, gap.top() + gap.height() / 2, gap.width() - 2 * inset, 1, ink);
    }
}

// A caption under its picture is drawn as Qt's own styles draw a tool button's text
// (Fusion, Qt's own: centred in the button below the picture, through QPainter::drawText),
// but from a layout kept with the button: drawText shapes the text anew at every paint,
// and the style measures it once more to see whether it must be elided, which the
// layout has already seen to. Only the style known to draw it that way takes this path,
// and only captions it covers exactly: one line without mnemonics, tabs or trailing
// spaces, under a picture of at most 16 pixels on a screen of one device pixel per pixel.
// Anything else goes through the style as a whole.
bool styleDrawsCaptionsPlainly(const QStyle& style)
{
    return style.name() == QLatin1String("fusion");
}

bool plainCaption(const QString& text)
{
    if (text.isEmpty() || text.back().isSpace())
        return false;
    for (const QChar c : text) {
        if (c == u'&' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x9c) || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

std::shared_ptr<CaptionShape> makeShape(const QWidget& strip, const QString& text, Qt::LayoutDirection direction)
{
    auto shape = std::make_shared<CaptionShape>();
    shape->text = text;
    shape->font = strip.font();
    shape->dpi = strip.logicalDpiY();
    // As the painter sees the font: at the strip's resolution.
    QTextLayout& layout = shape->layout;
    layout.setFont(QFont(shape->font, &strip));
    layout.setText(shape->text);
    QTextOption option;
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(0x01000000);
    line.setPosition(QPointF(0.0, 0.0));
    layout.endLayout();
    shape->width = qRound(line.horizontalAdvance());
    return shape;
}

// What is the same for every button of one paint, asked of the strip, its window and
// the style once rather than once per button: a large set paints hundreds of buttons
// before its first windows show.
struct PaintRun {
    PaintRun(QPainter& painter, const QWidget& w, const StripLayout& l, const ImageList* i, const StripMarks& m,
             const CaptionPictures& c);

    QPainter& p;
    const QWidget& strip;
    const StripLayout& layout;
    const ImageList* images;
    const StripMarks& marks;
    const CaptionPictures& pictures;
    StripLayout::PixelScale scale;
    bool captions{false};
    QStyle* style{nullptr};
    // Pictures and captions drawn here rather than by the style (see paintButton).
    bool drawsPlainly{false};
    // The option every button starts from: the strip's state, palette and font metrics.
    QStyleOptionToolButton base;
    QColor separator;
    // For captions only, asked once there is one.
    QFont font;
    int dpi{0};
    Qt::LayoutDirection direction{Qt::LeftToRight};
    QImage::Format target{QImage::Format_Invalid};
    QColor background;
};

// The button's layout of its caption, as measured, or made at the first paint that needs
// it (or again when the strip's font, resolution or direction changed since).
const std::shared_ptr<const CaptionShape>& captionShape(const PaintRun& run, const StripLayout::Button& b)
{
    if (!b.shape || b.shape->text != b.shown || b.shape->dpi != run.dpi || b.shape->font != run.font
        || b.shape->layout.textOption().textDirection() != run.direction)
        b.shape = makeShape(run.strip, b.shown, run.direction);
    return b.shape;
}

// The caption in r, the text's place of a text-under-picture tool button, in ink. The
// caption never strays out of r, so that r's pixels are all of it.
void drawCaption(QPainter& p, const QRectF& r, const QBrush& ink, const CaptionShape& shape)
{
    const QTextLine line = shape.layout.lineAt(0);
    const qreal yoff = (r.height() - (line.ascent() + line.descent())) / 2;
    const QPen saved = p.pen();
    p.setPen(QPen(ink, saved.widthF()));
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    line.draw(&p, QPointF(r.x() + (r.width() - line.horizontalAdvance()) / 2, r.y() + yoff));
    p.restore();
    p.setPen(saved);
}

// The format of the pixels p paints on when they are an image's, for a picture of a
// caption to be drawn exactly as it would be there, and when one is copied there pixel
// for pixel (no scaling, whole pixels of translation); an invalid format otherwise.
QImage::Format copyableTarget(const QPainter& p)
{
    const QPaintEngine* engine = p.paintEngine();
    const QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return QImage::Format_Invalid;
    const QImage::Format format = static_cast<const QImage*>(device)->format();
    const QTransform t = p.deviceTransform();
    const bool whole =
        t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) && t.dy() == std::floor(t.dy());
    return whole && (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied)
               ? format
               : QImage::Format_Invalid;
}

// The solid colour the strip's window fills its background with, under every button
// that is not raised; invalid when it is anything else.
QColor plainBackground(const QWidget& strip)
{
    const QWidget* window = strip.window();
    if (strip.autoFillBackground() || window->testAttribute(Qt::WA_TranslucentBackground)
        || window->testAttribute(Qt::WA_NoSystemBackground))
        return {};
    const QBrush brush = window->palette().brush(window->backgroundRole());
    return brush.style() == Qt::SolidPattern && brush.color().alpha() == 255 ? brush.color() : QColor();
}

// A caption in the plain state comes from its kept picture, the pixels of r exactly as
// the text is drawn there on the window's background; else its text is drawn, and its
// picture kept for the next run.
void paintPlainCaption(const PaintRun& run, const StripLayout::Button& b, const QRect& r, const QBrush& ink)
{
    QPainter& p = run.p;
    const CaptionPictures& pictures = run.pictures;
    const QImage::Format format = run.target;
    const QColor background = run.background;
    if (!pictures.cache || format == QImage::Format_Invalid || !background.isValid() || ink.style() != Qt::SolidPattern
        || r.isEmpty()) {
        drawCaption(p, QRectF(r), ink, *captionShape(run, b));
        return;
    }
    // The key: the strip's context, the caption, and the picture's size, background,
    // ink and format.
    KeyTail tail;
    tail.put('\x1e');
    tail.number(r.width());
    tail.put('x');
    tail.number(r.height());
    tail.put(' ');
    tail.number(background.rgba(), 16);
    tail.put(' ');
    tail.number(ink.color().rgba(), 16);
    tail.put(' ');
    tail.number(int(format));
    QByteArray key = captionKey(pictures.context, '\x1e', b.shown, tail.size());
    key.append(tail.data(), tail.size());
    if (b.pictureKey != key) {
        b.pictureKey = key;
        b.picture = pictures.cache->picture(key, format);
        if (b.picture.isNull()) {
            // Drawn later, off the way to the first paint, from the very layout drawn now.
            const Qt::LayoutDirection direction = run.direction;
            const QSize size = r.size();
            const QColor solid = ink.color();
            pictures.cache->keepPicture(key, [shape = captionShape(run, b), size, background, solid, format,
                                              direction] {
                QImage image(size, format);
                image.fill(background);
                QPainter painter(&image);
                painter.setLayoutDirection(direction);
                drawCaption(painter, QRectF(QPointF(0, 0), QSizeF(size)), QBrush(solid), *shape);
                return image;
            });
        }
    }
    if (!b.picture.isNull() && b.picture.size() == r.size())
        p.drawImage(r.topLeft(), b.picture);
    else
        drawCaption(p, QRectF(r), ink, *captionShape(run, b));
}

PaintRun::PaintRun(QPainter& painter, const QWidget& w, const StripLayout& l, const ImageList* i, const StripMarks& m,
                   const CaptionPictures& c)
    : p(painter), strip(w), layout(l), images(i), marks(m), pictures(c), scale(l.pixelScale()),
      captions(l.showsCaptions()), style(w.style())
{
    base.initFrom(&strip);
    base.subControls = QStyle::SC_ToolButton;
    base.features = QStyleOptionToolButton::None;
    base.arrowType = Qt::NoArrow;
    base.iconSize = QSize(PictureSide, PictureSide);
    base.state = (base.state & ~(QStyle::State_MouseOver | QStyle::State_HasFocus)) | QStyle::State_AutoRaise;
    drawsPlainly = (base.state & QStyle::State_Enabled) && p.device()->devicePixelRatio() == 1.0
                   && styleDrawsCaptionsPlainly(*style);
    separator = separatorInk(base.palette);
    if (captions) {
        font = strip.font();
        dpi = strip.logicalDpiY();
        direction = p.layoutDirection();
        target = copyableTarget(p);
        background = plainBackground(strip);
    }
}

// opt: the run's base option, which each button changes where it differs and leaves
// for the next as it found it.
void paintButton(const PaintRun& run, QStyleOptionToolButton& opt, int i, const QRect& r)
{
    QPainter& p = run.p;
    const QWidget& strip = run.strip;
    const StripMarks& marks = run.marks;
    const StripLayout::Button& b = run.layout.at(i);
    opt.rect = r;
    const bool dragged = marks.dragged == i;
    // The keyboard's button looks raised, as under the mouse, and is framed.
    const bool focused = marks.focus == i;
    const bool hovered = marks.hover == i || dragged || focused;
    const bool down = (hovered && marks.pressed == i) || dragged;
    if (hovered)
        opt.state |= QStyle::State_MouseOver | QStyle::State_Raised;
    if (down) {
        opt.state |= QStyle::State_Sunken;
        opt.activeSubControls = QStyle::SC_ToolButton;
    }
    const QPixmap picture = run.images ? run.images->picture(b.image) : QPixmap();
    const bool underCaption = run.captions && !b.caption.isEmpty();
    opt.toolButtonStyle = underCaption ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly;
    if (underCaption)
        opt.text = b.shown;

    QStyle* st = run.style;
    if (hovered)
        st->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, &strip);
    // Under Fusion a plain picture is drawn where the style would draw it, without the
    // QIcon the style asks for the very same pixmap (made, scaled to itself and cached
    // by name at every paint of every button), and a caption from its kept layout.
    const QSize pictureSize = picture.isNull() ? QSize() : picture.deviceIndependentSize().toSize();
    const bool plainPicture = run.drawsPlainly && !picture.isNull() && picture.devicePixelRatio() == 1.0
                              && pictureSize.width() <= PictureSide && pictureSize.height() <= PictureSide
                              && pictureSize.width() <= r.width() && pictureSize.height() <= r.height();
    if (plainPicture && (!underCaption || (b.captionPx <= r.width() && plainCaption(b.shown)))) {
        const QPoint shift = (opt.state & (QStyle::State_Sunken | QStyle::State_On))
                                 ? QPoint(st->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, &strip),
                                          st->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, &strip))
                                 : QPoint();
        // Centred in the button, or above a caption in its own height and 4 pixels.
        QRect place = r;
        if (underCaption)
            place.setHeight(pictureSize.height() + 4);
        st->drawItemPixmap(&p, place.translated(shift), Qt::AlignCenter, picture);
        if (underCaption) {
            p.setFont(opt.font);
            // The text's place: under the picture and 4 pixels, to a pixel from the bottom.
            const QRect place = r.adjusted(0, pictureSize.height() + 4 - 1, 0, -1).translated(shift);
            const QBrush ink = opt.palette.brush(QPalette::ButtonText);
            if (!hovered && !down)
                paintPlainCaption(run, b, place, ink);
            else
                drawCaption(p, QRectF(place), ink, *captionShape(run, b));
        }
    } else {
        if (!picture.isNull())
            opt.icon = QIcon(picture);
        st->drawControl(QStyle::CE_ToolButtonLabel, &opt, &p, &strip);
        opt.icon = QIcon();
    }
    if (focused) {
        // Many styles draw a tool button's focus frame faintly or not at all; the
        // keyboard's place must show at a glance, in the theme's selection colour.
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(opt.palette.color(QPalette::Active, QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, -0.5, -0.5), 3, 3);
        p.restore();
    }
    opt.state = run.base.state;
    opt.activeSubControls = run.base.activeSubControls;
    if (underCaption)
        opt.text = QString();
}

// Where the dragged button would land: a bar after the button under the mouse when it
// moves on, before it when it moves back, as the buttons between make room.
void paintLanding(QPainter& p, const QWidget& strip, const StripLayout& layout, const StripMarks& marks)
{
    const QRect from = layout.pixelRect(layout.at(marks.dragged).rect);
    const QRect to = layout.pixelRect(layout.at(marks.dragTo).rect);
    const bool onward = marks.dragTo > marks.dragged;
    const bool column = to.left() == from.left() && to.top() != from.top();
    const int thick = 2;
    const QRect mark = column ? QRect(to.left(), onward ? to.bottom() - thick + 1 : to.top(), to.width(), thick)
                              : QRect(onward ? to.right() - thick + 1 : to.left(), to.top(), thick, to.height());
    p.fillRect(mark, strip.palette().color(QPalette::Highlight));
}

} // namespace

std::shared_ptr<const CaptionShape> shapeCaption(const QWidget& strip, const QString& caption)
{
    if (!styleDrawsCaptionsPlainly(*strip.style()) || !plainCaption(caption))
        return nullptr;
    return makeShape(strip, caption, strip.layoutDirection());
}

QByteArray captionKey(const QByteArray& context, char separator, const QString& caption, qsizetype room)
{
    // Captions are nearly always ASCII, whose UTF-8 is its own code units: written
    // straight into one buffer, without a converted copy to append.
    const qsizetype head = context.size() + 1;
    QByteArray key;
    key.reserve(head + caption.size() + room);
    key.resize(head + caption.size());
    char* out = key.data();
    std::memcpy(out, context.constData(), std::size_t(context.size()));
    out[context.size()] = separator;
    out += head;
    for (const QChar c : caption) {
        if (c.unicode() >= 0x80) {
            key.truncate(head);
            key.append(caption.toUtf8());
            return key;
        }
        *out++ = char(c.unicode());
    }
    return key;
}

QByteArray captionContext(const QWidget& strip)
{
    // Every strip of the program asks at each layout and paint, nearly always with the
    // same font and screen: the key is made again only when something it holds changed.
    struct Made {
        QFont font;
        int dpiX = 0;
        int dpiY = 0;
        qreal ratio = 0;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        QString style;
        QByteArray key;
    };
    // Never destroyed: a font must not outlive the application's font data at exit.
    static Made& last = *new Made;
    const QFont font = strip.font();
    const int dpiX = strip.logicalDpiX();
    const int dpiY = strip.logicalDpiY();
    const qreal ratio = strip.devicePixelRatioF();
    const Qt::LayoutDirection direction = strip.layoutDirection();
    const QString style = strip.style()->name();
    if (!last.key.isEmpty() && last.font == font && last.dpiX == dpiX && last.dpiY == dpiY && last.ratio == ratio
        && last.direction == direction && last.style == style)
        return last.key;
    QByteArray key = font.toString().toUtf8();
    key += ' ' + QByteArray::number(dpiX) + ' ' + QByteArray::number(dpiY) + ' ' + QByteArray::number(ratio)
           + (direction == Qt::RightToLeft ? " rtl " : " ltr ") + style.toUtf8();
    last = {font, dpiX, dpiY, ratio, direction, style, key};
    return key;
}

void paintStrip(QPainter& p, const QWidget& strip, const StripLayout& layout, const ImageList* images,
                const StripMarks& marks, const QRect& exposed, const CaptionPictures& pictures)
{
    const PaintRun run(p, strip, layout, images, marks, pictures);
    QStyleOptionToolButton opt = run.base;
    for (int i = ButtonStrip::FixedButtons; i < layout.count(); ++i) {
        const QRect r = run.scale.rect(layout.at(i).rect);
        if (!r.intersects(exposed))
            continue;
        if (layout.at(i).style == ButtonStrip::Style::Gap)
            paintSeparator(p, r, run.separator);
        else
            paintButton(run, opt, i, r);
    }
    if (layout.valid(marks.dragged) && marks.dragTo >= ButtonStrip::FixedButtons && layout.valid(marks.dragTo)
        && marks.dragTo != marks.dragged)
        paintLanding(p, strip, layout, marks);
}
