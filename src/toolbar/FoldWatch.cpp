#include "toolbar/FoldWatch.h"

#include "platform/Clock.h"
#include "platform/SkipOnError.h"

FoldWatch::FoldWatch(Clock& clock, FoldedBar& bar, const std::chrono::milliseconds& stepPause,
                     const std::chrono::milliseconds& budget)
    : m_bar(bar)
    , m_stepPause(stepPause)
    , m_budget(budget)
    , m_watch(clock.makeTicker())
    , m_foldTicker(clock.makeTicker())
{
    connect(m_watch.get(), &Ticker::timeout, this, [this] { skipOnError("auto-hide watch", [&] { watchTick(); }); });
    connect(m_foldTicker.get(), &Ticker::timeout, this, [this] { skipOnError("fold step", [&] { foldTick(); }); });
}

FoldWatch::~FoldWatch() = default;

bool FoldWatch::watching() const
{
    return m_watch->isActive();
}

void FoldWatch::fold(FoldDirection direction)
{
    if (m_stopped)
        return;
    m_bar.ensureBuilt();
    const bool standing = m_bar.standing();
    stopFolding();
    const geometry::Size now = m_bar.sizeTwips();

    if (direction == FoldDirection::Unfold) {
        m_bar.resizeTwips(m_bar.unfoldTo(now));
        return;
    }

    if (standing)
        m_foldStep = geometry::verticalFoldStep(now);
    if (!m_bar.seen()) {
        m_bar.resizeTwips(geometry::foldedSize(now, standing));
        return;
    }
    m_folding = true;
    m_foldSteps = 0;
    m_foldStanding = standing;
    const auto pause = geometry::foldPause(m_stepPause, m_budget, standing ? now.height : now.width);
    foldTick(); // the first step at once
    if (m_folding)
        m_foldTicker->start(pause);
}

void FoldWatch::foldTick()
{
    if (!m_folding)
        return;
    const geometry::FoldStep step
        = geometry::nextFoldStep(m_bar.sizeTwips(), m_foldStanding, m_foldStep, m_foldSteps++);
    if (step.last)
        stopFolding();
    m_bar.resizeTwips(step.size);
}

void FoldWatch::stopFolding()
{
    m_foldTicker->stop();
    m_folding = false;
}

void FoldWatch::hovered()
{
    if (m_stopped || !m_bar.autoHides() || !m_bar.unfoldable() || m_watch->isActive())
        return;
    // A fold in progress finishes first; a hover on its way down does not turn it back.
    if (m_folding)
        return;
    if (m_hover != HoverState::Watched) {
        m_watch->start(WatchInterval);
        fold(FoldDirection::Unfold);
        m_hover = HoverState::Watched;
    }
}

void FoldWatch::watchTick()
{
    if (m_folding)
        return;
    if (m_bar.cursorOver() && !m_dropDone)
        return;
    endWatch(HoverState::Folded);
    fold(FoldDirection::Fold);
}

void FoldWatch::endWatch(HoverState then)
{
    m_watch->stop();
    m_dropDone = false;
    m_hover = then;
}

void FoldWatch::dropped()
{
    if (m_hover == HoverState::Watched)
        m_dropDone = true;
}

void FoldWatch::laidOut()
{
    // A bar the mouse holds open stays open when rebuilt under it (a button dragged to
    // another place): the watch folds it once the mouse has left.
    if (m_bar.autoHides() && m_hover != HoverState::Watched)
        fold(FoldDirection::Fold);
}

void FoldWatch::autoHideSwitched(bool on)
{
    if (!on) {
        // A bar unfolded by the mouse is no longer watched: with auto-hide off it must
        // not fold away when the mouse leaves, and a later hover (once the mode is on
        // again) must find it ready to unfold.
        endWatch(m_hover == HoverState::Watched ? HoverState::Folded : m_hover);
    }
    fold(on ? FoldDirection::Fold : FoldDirection::Unfold);
}

void FoldWatch::holdOpen()
{
    if (m_stopped)
        return;
    m_bar.ensureBuilt();
    if (!m_bar.autoHides() || !m_bar.unfoldable())
        return;
    // Held as by a hover whose watch never looks: a hover or a rebuild meanwhile leaves
    // the bar open.
    endWatch(HoverState::Watched);
    fold(FoldDirection::Unfold);
}

void FoldWatch::letGo(FoldAfter when)
{
    if (m_stopped || m_hover != HoverState::Watched || !m_bar.autoHides())
        return;
    if (when == FoldAfter::Now) {
        endWatch(HoverState::Folded);
        fold(FoldDirection::Fold);
    } else if (!m_watch->isActive()) {
        m_watch->start(WatchInterval);
    }
}

void FoldWatch::stop()
{
    m_stopped = true;
    stopFolding();
    m_watch->stop();
    m_dropDone = false;
}
