#pragma once

#include "toolbar/ButtonStrip.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct CaptionShape;
class Pointer;
class QFontMetrics;
class QScreen;

// The buttons of a strip and where they lie: the size every button shares, measured from
// the captions, and each button's place in twips, in one row, in rows wrapped at the
// strip's width, or in one column. Indexes count from 0 (a strip's position less one);
// -1 is none. It knows nothing of the mouse or of painting, so the strip keeps only what
// the user is doing.
class StripLayout {
public:
    struct Button {
        ButtonStrip::Style style{ButtonStrip::Style::Normal};
        int image{0};
        QString caption;
        QString tip;
        QString shown;     // the caption as painted, elided when too long
        int captionPx{-1}; // width of shown; -1 until measured
        QRectF rect;       // twips
        // shown, laid out for painting when it is measured (an elided one at its first
        // paint), so that paints only draw it; dropped whenever shown is measured again.
        mutable std::shared_ptr<const CaptionShape> shape;
        // shown as painted in the plain state, kept from an earlier run, and what it was
        // painted for; a null picture under a key: none is kept for it.
        mutable QByteArray pictureKey;
        mutable QImage picture;
    };

    // Captions measured in an earlier run with the same font, asked before a caption is
    // measured, and told every caption measured here.
    class KeptMeasures {
    public:
        struct Measure {
            QString shown;
            int width{0};
            int lineHeight{0};
        };
        virtual std::optional<Measure> find(const QString& caption) = 0;
        virtual void keep(const QString& caption, const Measure& measure) = 0;

    protected:
        ~KeptMeasures() = default;
    };

    // Starts with the two fixed buttons: the blank under the handle and the gap after it.
    explicit StripLayout(const Pointer& metrics);

    int count() const { return static_cast<int>(m_buttons.size()); }
    bool valid(int index) const { return index >= 0 && index < count(); }
    // A normal button of the toolbar's own: one that can be clicked, dragged or dropped on.
    bool clickable(int index) const;
    const Button& at(int index) const { return m_buttons[static_cast<std::size_t>(index)]; }
    void insert(int index, Button button);
    void erase(int index);
    // False when the caption was already so; a new one is measured at the next update.
    bool setCaption(int index, const QString& caption);
    void setTip(int index, const QString& tip);
    // After the font changed, every caption is measured again.
    void forgetCaptionWidths();

    bool wrap() const { return m_wrap; }
    void setWrap(bool wrap) { m_wrap = wrap; }
    bool captions() const { return m_captions; }
    void setCaptions(bool shown) { m_captions = shown; }
    // True when captions are on and some button has one to show.
    bool showsCaptions() const;
    // From here on the strip is this wide (twips) rather than as wide as its buttons need.
    void setWidth(float width);

    // The screen whose pixel size counts; false when it was that one already.
    bool setScreen(const QScreen* screen);
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    // Lays a caption out for painting and gives its width in pixels, or null when it is
    // to be measured and painted otherwise.
    using Shaper = std::function<std::shared_ptr<const CaptionShape>(const QString& caption)>;
    // Measures the button size from the captions and places every button; once per change.
    // A caption laid out by shaper is measured from its layout, which it keeps; one kept
    // takes neither fm nor shaper.
    void update(const QFontMetrics& fm, const Shaper& shaper = {}, KeptMeasures* kept = nullptr);
    float width() const { return m_width; }   // twips
    float height() const { return m_height; } // twips
    float buttonWidth() const { return m_bw; }
    float buttonHeight() const { return m_bh; }

    // Twips to the pixels the strip paints in. Asking the screen's resolution costs more
    // than the sum itself: a paint or a hit test over every button asks once.
    struct PixelScale {
        double x{1.0}; // twips per pixel
        double y{1.0};
        QRect rect(const QRectF& twips) const;
    };
    PixelScale pixelScale() const { return {twipsPerPixelX(), twipsPerPixelY()}; }
    QRect pixelRect(const QRectF& twips) const { return pixelScale().rect(twips); }
    QSize pixelSize() const;
    // The button under a pixel; -1 over none.
    int hit(const QPoint& px) const;
    // Where a dragged button goes when let go at px in a strip of this size; -1: it stays.
    int dragTargetAt(const QPoint& px, const QSize& size) const;

private:
    void measure(const QFontMetrics& fm, const Shaper& shaper, KeptMeasures* kept);
    void place();
    void placeColumn();

    const Pointer& m_metrics;
    std::vector<Button> m_buttons;
    bool m_wrap{false};
    bool m_captions{false};
    bool m_widthSet{false};
    float m_width{0.0f};  // as set, or as the buttons need
    float m_height{0.0f}; // from the layout
    float m_bw{0.0f};
    float m_bh{0.0f};
    int m_lineHeight{-1}; // the font's, pixels; -1 until needed
    // Taken when the strip is shown or moves; none before: the primary one. Asked only
    // then, since asking costs more than a whole layout.
    const QScreen* m_screen{nullptr};
};
