#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QTextLayout>

#include <memory>

class CaptionCache;
class ImageList;
class QPainter;
class QRect;
class QWidget;
class StripLayout;

// What a strip marks on its buttons while the user works with them. Indexes are the
// layout's; -1 is none.
struct StripMarks {
    int hover{-1};   // under the mouse or a drag of files
    int pressed{-1}; // held down by the left button
    int focus{-1};   // the keyboard's, while the strip has the focus
    int dragged{-1}; // being dragged along the bar
    int dragTo{-1};  // where the dragged one would go if let go now
};

// A caption laid out for painting with the font it was laid out in, at the resolution
// of the strip it is painted on.
struct CaptionShape {
    QString text;
    QFont font;
    int dpi{0};
    QTextLayout layout;
    int width{0}; // pixels, rounded as QFontMetrics::horizontalAdvance rounds
};

// The layout a strip paints caption from, or null when the strip's style or the caption
// is one it is not used for.
std::shared_ptr<const CaptionShape> shapeCaption(const QWidget& strip, const QString& caption);

// The strip's side of the key a caption is kept under: its font, resolution, direction
// and style.
QByteArray captionContext(const QWidget& strip);

// A kept caption's key, context, separator and the caption's UTF-8, with room for
// `room` more bytes without growing: made for every caption at every layout and paint.
QByteArray captionKey(const QByteArray& context, char separator, const QString& caption, qsizetype room = 0);

// Where captions painted in the plain state are kept as pictures; none without a cache.
struct CaptionPictures {
    CaptionCache* cache{nullptr};
    QByteArray context; // captionContext() of the strip
};

// Paints the buttons of a strip that lie in exposed with the style's tool buttons, so
// they look native, each gap as a thin line, and where a dragged button would land.
void paintStrip(QPainter& p, const QWidget& strip, const StripLayout& layout, const ImageList* images,
                const StripMarks& marks, const QRect& exposed, const CaptionPictures& pictures = {});
