#pragma once

#include "toolbar/FoldGeometry.h"

#include <QObject>

#include <chrono>
#include <memory>

class Clock;
class Ticker;

enum class FoldDirection { Fold, Unfold };

// What folding and the hover watch need of the bar they fold.
class FoldedBar {
public:
    // Made ready to fold: a bar not built yet builds itself first.
    virtual void ensureBuilt() = 0;
    // The bar's auto-hide mode is on.
    virtual bool autoHides() const = 0;
    // The bar has buttons to unfold to (a bare handle has nothing to unfold).
    virtual bool unfoldable() const = 0;
    virtual bool standing() const = 0;
    // Somebody sees the bar: a bar nobody sees folds at once.
    virtual bool seen() const = 0;
    virtual geometry::Size sizeTwips() const = 0;
    virtual void resizeTwips(geometry::Size size) = 0;
    // The size a bar of this size unfolds to.
    virtual geometry::Size unfoldTo(geometry::Size now) const = 0;
    // The cursor is over the bar; its edges count as over it.
    virtual bool cursorOver() const = 0;

protected:
    virtual ~FoldedBar() = default;
};

// Folds a bar down to its handle in steps the clock paces, or unfolds it at once, and
// keeps an auto-hiding bar between hovers: a hover unfolds it, and a watch folds it again
// once the cursor has left (or a drop has landed on it). A new fold or unfold takes over
// from one in progress.
class FoldWatch : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds WatchInterval{200};

    // An auto-hiding bar between hovers.
    enum class HoverState {
        Fresh,   // never unfolded by a hover; the next hover unfolds it
        Folded,  // folded again by the watch; the next hover unfolds it
        Watched, // unfolded by a hover; the watch folds it once the cursor has left
    };
    enum class FoldAfter { Now, MouseLeft };

    // stepPause and budget pace each fold (see geometry::foldPause) and are read anew at
    // every fold.
    FoldWatch(Clock& clock, FoldedBar& bar, const std::chrono::milliseconds& stepPause,
              const std::chrono::milliseconds& budget);
    ~FoldWatch() override;

    void fold(FoldDirection direction);
    // Ends a fold in progress where it stands.
    void stopFolding();
    bool folding() const { return m_folding; }
    HoverState hoverState() const { return m_hover; }
    // True while an unfold by a hover is watched.
    bool watching() const;

    // The mouse, or a drag of files, came over the bar.
    void hovered();
    // Something was dropped on the bar: one opened for the drag folds at the watch's next
    // look, wherever the mouse is.
    void dropped();
    // A bar laid out anew folds again, unless the mouse holds it open.
    void laidOut();
    // The auto-hide mode was switched.
    void autoHideSwitched(bool on);
    // An auto-hiding bar is unfolded and stays so until let go: then it folds at once, or
    // once the mouse is not over it.
    void holdOpen();
    void letGo(FoldAfter when);
    // No timer runs any more, and nothing folds or unfolds.
    void stop();

private:
    void watchTick();
    void foldTick();
    void endWatch(HoverState then);

    FoldedBar& m_bar;
    const std::chrono::milliseconds& m_stepPause;
    const std::chrono::milliseconds& m_budget;
    std::unique_ptr<Ticker> m_watch;
    std::unique_ptr<Ticker> m_foldTicker;
    HoverState m_hover{HoverState::Fresh};
    bool m_dropDone{false}; // a drop landed: fold at the watch's next look
    bool m_folding{false};
    bool m_stopped{false};
    bool m_foldStanding{false};
    // The width a standing fold takes off per step, kept for the unfold after it.
    double m_foldStep{0.0};
    int m_foldSteps{0}; // made by the fold in progress
};
