#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class CaptionCache;
class ImageList;
class Pointer;
class QMimeData;

// The toolbar's row (or column) of buttons, painted with the style's tool buttons so they
// look native. Positions count from 1. Positions 1 and 2 are the two fixed
// buttons that belong to the window (a blank under the drag handle, then a gap); they
// are made by the constructor, cannot be removed, and take 470 twips along the bar
// together whatever the button size. From position 3 on come normal buttons (picture,
// caption or tooltip) and gaps (120 twips, no picture, not clickable).
//
// All buttons share one size, BW x BH, computed from the pictures and, when captions
// are shown, from the longest caption: 345 x 330 twips (23 x 22 px at 15 twips per
// pixel) with 16x16 pictures and no captions. Sizes are in twips.
//
// Unwrapped: one row; the control is BH high. Wrapped with room for one button per row:
// one column, the fixed buttons 470 high, each button BH, each gap 120.
class ButtonStrip : public QWidget {
    Q_OBJECT
public:
    enum class Style { Normal, Gap };

    // Positions count from 1. The first two are fixed: a blank under the drag handle and
    // a gap after it; a toolbar's own buttons start after them.
    static constexpr int FixedButtons = 2;
    static constexpr int FirstButton = FixedButtons + 1;
    // Along the bar: the two fixed buttons together, and each gap.
    static constexpr float FixedTwips = 470.0f;
    static constexpr float GapTwips = 120.0f;

    explicit ButtonStrip(const Pointer& metrics, QWidget* parent = nullptr);
    ~ButtonStrip() override;

    // While one is open, the strip's changes are laid out once, as the last one closes:
    // a toolbar's buttons are put in one after the other, and laying out the strip after
    // each (all its buttons placed, the widget resized) made the work grow with the
    // square of their number. Nothing may ask for a button's place meanwhile.
    class Batch {
    public:
        explicit Batch(ButtonStrip& strip);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ButtonStrip& m_strip;
    };

    int buttonCount() const;
    // Inserts before the button now at position (buttonCount() + 1 appends); position >= FirstButton.
    void addButton(int position, Style style, int imagePosition);
    // Removes the button at position (>= FirstButton); later buttons move up one place.
    void removeButton(int position);
    Style style(int position) const;
    void setCaption(int position, const QString& caption);
    QString caption(int position) const;
    void setToolTipText(int position, const QString& text);
    QString toolTipText(int position) const;
    // A button's rectangle in twips relative to the control.
    QRectF buttonRect(int position) const;
    // The same in the control's pixels, as it is painted.
    QRect buttonPixelRect(int position) const;
    // Presses a normal button as a click would (for assistive tools); others do nothing.
    void press(int position);
    // The normal button the keyboard is on (0: none), marked while the strip has the
    // keyboard focus. Anything but a normal button clears the mark.
    int focusMark() const;
    void setFocusMark(int position);
    // True from a left press on a button until it is let go: the keys belong to its drag.
    bool mouseHeld() const;

    float buttonWidth() const;  // BW, twips
    float buttonHeight() const; // BH, twips

    void setWrappable(bool wrap);
    float widthTwips() const;
    float heightTwips() const;
    void setWidthTwips(float width);

    // Captions under the pictures (buttons without one show their tooltip instead).
    void setCaptionsShown(bool shown);

    // Where captions measured and painted are kept between runs; nullptr: nowhere.
    void setCaptionCache(CaptionCache* cache);

    // The picture source; nullptr detaches it (nothing is drawn meanwhile).
    void setImageList(const ImageList* images);

    // Where a drag of files may land: given a point in twips relative to the control,
    // the position of the button that would take the drop, or 0 where a drop does
    // nothing. That button is highlighted while the drag is over it, and the cursor
    // shows a refusal everywhere else. Without it, no drop is taken.
    void setDropTarget(std::function<int(QPointF)> target);
    // The button highlighted under the mouse or a drag (0: none).
    int highlighted() const;
    // While a button is dragged along the bar: the position it would go to if let go
    // now (0: nowhere, it stays). 0 when no button is dragged.
    int dragTarget() const;

signals:
    // A normal button was clicked (pressed and released over it); gaps raise nothing.
    void buttonClicked(int position);
    // A normal button was dragged with the left button (past the desktop's drag distance)
    // and let go over the place at position to (>= FirstButton, a gap's too), where it is to go.
    // Escape or another mouse button during the drag, or letting go far off the bar,
    // moves nothing; a press that never went the drag distance is a click.
    void buttonDragged(int from, int to);
    // The right button went down on the button or gap at position (>= FirstButton); global is in
    // screen pixels.
    void menuRequested(int position, QPoint global);
    // Data was dropped on the control; point is in twips relative to the control.
    void dropped(const QMimeData* data, QPointF point);
    // A drag that carries files came over the control, or left it.
    void dragEntered();
    void dragLeft();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Measures BW/BH, places every button and resizes the widget; once per change.
    void relayout();
    // Tells assistive tools which button the keyboard is on.
    void announceFocusMark();
    // Ends a drag of a button, moving nothing; the mouse and the keys are the desktop's
    // again.
    void stopDragging();

    struct Private;
    std::unique_ptr<Private> d;
};
