#include "toolbar/StripLayout.h"

#include "platform/Pointer.h"
#include "toolbar/FoldGeometry.h"
#include "toolbar/StripPainting.h"

#include <QFontMetrics>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace {

constexpr int FixedButtons = ButtonStrip::FixedButtons;
constexpr float GapTwips = ButtonStrip::GapTwips;
constexpr float FixedTwips = ButtonStrip::FixedTwips;

// The two fixed buttons: a blank wide enough for the drag handle above it (45 + 255
// twips, with a margin), then an ordinary gap.
constexpr float HandleBlankTwips = FixedTwips - GapTwips;

// A 16x16 picture in a button of 23 x 22 pixels, the size of a plain tool button.
constexpr int PlainWidthPx = 23;
constexpr int PlainHeightPx = 22;
// With a caption: the picture on top, the text under it.
constexpr int CaptionPaddingPx = 8;    // left + right of the text
constexpr int CaptionSpacingPx = 2;    // between picture and text
// A caption shows at most this wide and is elided past it: every button takes the width
// of the longest caption, so one long name would otherwise make the whole bar as wide
// as the name (a million characters are millions of twips, and take seconds to measure).
constexpr int MaxCaptionPx = 200;
// Only this much of a caption is ever measured; more could never fit in MaxCaptionPx.
constexpr qsizetype MaxCaptionChars = 200;

} // namespace

StripLayout::StripLayout(const Pointer& metrics) : m_metrics(metrics)
{
    m_buttons.resize(FixedButtons);
    m_buttons[1].style = ButtonStrip::Style::Gap;
}

bool StripLayout::clickable(int index) const
{
    return index >= FixedButtons && index < count() && at(index).style == ButtonStrip::Style::Normal;
}

void StripLayout::insert(int index, Button button)
{
    m_buttons.insert(m_buttons.begin() + index, std::move(button));
}

void StripLayout::erase(int index)
{
    m_buttons.erase(m_buttons.begin() + index);
}

bool StripLayout::setCaption(int index, const QString& caption)
{
    Button& b = m_buttons[static_cast<std::size_t>(index)];
    if (b.caption == caption)
        return false;
    b.caption = caption;
    b.captionPx = -1;
    return true;
}

void StripLayout::setTip(int index, const QString& tip)
{
    m_buttons[static_cast<std::size_t>(index)].tip = tip;
}

void StripLayout::forgetCaptionWidths()
{
    for (Button& b : m_buttons)
        b.captionPx = -1;
    m_lineHeight = -1;
}

bool StripLayout::showsCaptions() const
{
    return m_captions && std::any_of(m_buttons.begin(), m_buttons.end(), [](const Button& b) {
               return b.style == ButtonStrip::Style::Normal && !b.caption.isEmpty();
           });
}

void StripLayout::setWidth(float width)
{
    m_widthSet = true;
    m_width = width;
}

bool StripLayout::setScreen(const QScreen* screen)
{
    if (screen == m_screen)
        return false;
    m_screen = screen;
    return true;
}

double StripLayout::twipsPerPixelX() const
{
    return geometry::sanePerPixel(m_metrics.twipsPerPixelX(m_screen));
}

double StripLayout::twipsPerPixelY() const
{
    return geometry::sanePerPixel(m_metrics.twipsPerPixelY(m_screen));
}

void StripLayout::update(const QFontMetrics& fm, const Shaper& shaper, KeptMeasures* kept)
{
    measure(fm, shaper, kept);
    place();
}

void StripLayout::measure(const QFontMetrics& fm, const Shaper& shaper, KeptMeasures* kept)
{
    int wPx = PlainWidthPx;
    int hPx = PlainHeightPx;
    if (showsCaptions()) {
        int text = 0;
        for (Button& b : m_buttons) {
            if (b.style != ButtonStrip::Style::Normal || b.caption.isEmpty())
                continue;
            const std::optional<KeptMeasures::Measure> known =
                b.captionPx < 0 && kept ? kept->find(b.caption) : std::nullopt;
            if (known) {
                b.shape.reset();
                b.shown = known->shown;
                b.captionPx = known->width;
                if (m_lineHeight < 0)
                    m_lineHeight = known->lineHeight;
            } else if (b.captionPx < 0) {
                // Most captions fit: measured once (laid out for painting when they can
                // be), and elided (shaped again) only when not.
                b.shape = b.caption.size() <= MaxCaptionChars && shaper ? shaper(b.caption) : nullptr;
                const int whole = b.shape ? b.shape->width
                                  : b.caption.size() <= MaxCaptionChars ? fm.horizontalAdvance(b.caption)
                                                                         : -1;
                if (whole >= 0 && whole <= MaxCaptionPx) {
                    b.shown = b.caption;
                    b.captionPx = whole;
                } else {
                    b.shape.reset();
                    b.shown = fm.elidedText(b.caption.left(MaxCaptionChars), Qt::ElideRight, MaxCaptionPx);
                    if (b.shown.size() < b.caption.size() && !b.shown.endsWith(QChar(0x2026)))
                        b.shown = fm.elidedText(b.shown + QChar(0x2026), Qt::ElideRight, MaxCaptionPx);
                    b.captionPx = std::min(fm.horizontalAdvance(b.shown), MaxCaptionPx);
                }
                if (kept)
                    kept->keep(b.caption, {b.shown, b.captionPx, fm.height()});
            }
            text = std::max(text, b.captionPx);
        }
        wPx = std::max(wPx, text + CaptionPaddingPx);
        if (m_lineHeight < 0)
            m_lineHeight = fm.height();
        hPx = PlainHeightPx + CaptionSpacingPx + m_lineHeight;
    }
    m_bw = static_cast<float>(wPx * twipsPerPixelX());
    m_bh = static_cast<float>(hPx * twipsPerPixelY());
}

// Positions are computed from counts (normal buttons and gaps before an item) rather
// than by adding up extents one by one, so that the totals come out exactly as
// BW * m + 120 * s + 470 in single precision, the sum the window's size relies on.
void StripLayout::place()
{
    if (!m_widthSet) {
        int m = 0, s = 0;
        for (std::size_t i = FixedButtons; i < m_buttons.size(); ++i)
            (m_buttons[i].style == ButtonStrip::Style::Gap ? s : m) += 1;
        m_width = m_bw * static_cast<float>(m) + GapTwips * static_cast<float>(s) + FixedTwips;
    }

    // One column when a row cannot hold two buttons side by side.
    if (m_wrap && m_width < 2.0f * m_bw) {
        placeColumn();
        return;
    }

    const auto extentAlong = [&](std::size_t i) {
        if (i == 0)
            return HandleBlankTwips;
        return m_buttons[i].style == ButtonStrip::Style::Gap || i == 1 ? GapTwips : m_bw;
    };
    int m = 0, s = 0;      // counted along the current row
    float rowStart = 0.0f; // twips of the fixed buttons on the first row
    int row = 0;
    float x = 0.0f;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const float w = extentAlong(i);
        if (i >= FixedButtons)
            x = rowStart + m_bw * static_cast<float>(m) + GapTwips * static_cast<float>(s);
        if (m_wrap && x > 0.0f && x + w > m_width) {
            ++row;
            rowStart = 0.0f;
            m = s = 0;
            x = 0.0f;
        }
        m_buttons[i].rect = QRectF(x, m_bh * static_cast<float>(row), w, m_bh);
        if (i < FixedButtons) {
            x += w;
            rowStart = x;
        } else {
            (m_buttons[i].style == ButtonStrip::Style::Gap ? s : m) += 1;
        }
    }
    m_height = m_bh * static_cast<float>(row + 1);
}

void StripLayout::placeColumn()
{
    int m = 0, s = 0;
    float y = 0.0f;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const bool gap = i == 1 || m_buttons[i].style == ButtonStrip::Style::Gap;
        if (i >= FixedButtons)
            y = m_bh * static_cast<float>(m) + GapTwips * static_cast<float>(s) + FixedTwips;
        const float h = i == 0 ? HandleBlankTwips : gap ? GapTwips : m_bh;
        m_buttons[i].rect = QRectF(0.0, y, m_bw, h);
        if (i < FixedButtons)
            y += h;
        else
            (m_buttons[i].style == ButtonStrip::Style::Gap ? s : m) += 1;
    }
    m_height = m_bh * static_cast<float>(m) + GapTwips * static_cast<float>(s) + FixedTwips;
}

QRect StripLayout::PixelScale::rect(const QRectF& t) const
{
    const int left = static_cast<int>(std::lround(t.left() / x));
    const int top = static_cast<int>(std::lround(t.top() / y));
    const int right = static_cast<int>(std::lround(t.right() / x));
    const int bottom = static_cast<int>(std::lround(t.bottom() / y));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QSize StripLayout::pixelSize() const
{
    return QSize(static_cast<int>(std::lround(m_width / twipsPerPixelX())),
                 static_cast<int>(std::lround(m_height / twipsPerPixelY())));
}

int StripLayout::hit(const QPoint& px) const
{
    const PixelScale scale = pixelScale();
    for (int i = 0; i < count(); ++i)
        if (scale.rect(at(i).rect).contains(px))
            return i;
    return -1;
}

// The place under the mouse. A little to the side of the bar still counts; before the
// first button is the first place and past the last the last. Further off than a
// button's size, the button stays where it is.
int StripLayout::dragTargetAt(const QPoint& px, const QSize& size) const
{
    if (count() <= FixedButtons || size.isEmpty())
        return -1;
    const QRect button = pixelRect(QRectF(0.0, 0.0, m_bw, m_bh));
    const QRect near = QRect(QPoint(), size).adjusted(-button.width(), -button.height(), button.width(), button.height());
    if (!near.contains(px))
        return -1;
    const QPoint inside(std::clamp(px.x(), 0, size.width() - 1), std::clamp(px.y(), 0, size.height() - 1));
    const int i = hit(inside);
    if (i < 0)
        return count() - 1; // the room after the last button
    return std::max(i, FixedButtons);
}
