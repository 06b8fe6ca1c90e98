#include "toolbar/ToolbarWindows.h"

#include "platform/IconSource.h"
#include "toolbar/BuiltinPictures.h"
#include "toolbar/ClawsPicture.h"
#include "toolbar/FTb.h"
#include "toolbar/SkipOnError.h"
#include "toolbar/TBar.h"
#include "toolbar/ToolbarHost.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Size and fold constants, in twips.
constexpr float Frame = 2 * FTb::FrameTwips; // both sides of the window's frame together
constexpr float FoldStep = 90.0f;
constexpr float FoldedSize = 435.1f;
constexpr float FoldEnd = 435.0f;
constexpr double StepRatioOffset = 434.9;

// Lets pending events run between two fold steps, pausing so that the fold can be seen:
// at most perStep per step and total for the whole fold, so a long bar folds no slower
// than a short one.
class FoldPacer {
public:
    FoldPacer(std::chrono::milliseconds perStep, std::chrono::milliseconds total, float length)
    {
        const double steps = std::clamp(std::ceil((double(length) - FoldEnd) / FoldStep), 1.0, 1e6);
        m_pause = std::min(perStep, std::chrono::milliseconds(static_cast<long long>(double(total.count()) / steps)));
    }

    void pause() const
    {
        if (m_pause.count() <= 0) {
            QCoreApplication::processEvents();
            return;
        }
        QEventLoop loop;
        QTimer::singleShot(m_pause, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

private:
    std::chrono::milliseconds m_pause{0};
};

// The vertical fold step, kept with the handle as decimal text between a fold and the
// unfold after it. Without one (no vertical fold yet) the width simply waits for the end
// of the unfold, where it is set to the button width.
double storedFoldStep(const FTb& form)
{
    bool ok = false;
    const double step = form.claws().Tag.toDouble(&ok);
    return ok && std::isfinite(step) ? step : 0.0;
}

void showForm(FTb& form, const TbrRec& rec)
{
    // A window shown for the first time is made with its stacking already right.
    if (!form.testAttribute(Qt::WA_WState_Created))
        SetTopmost(form, isTrue(rec.AlwaysOnTop));
    form.show();
}

} // namespace

ToolbarWindows::ToolbarWindows(ToolbarSet& set, Services services, ToolbarHost& host)
    : m_set(set)
    , m_services(services)
    , m_host(host)
    , m_filePicture(QPixmap::fromImage(::builtinFilePicture()))
    , m_folderPicture(QPixmap::fromImage(::builtinFolderPicture()))
{
    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    m_stepPause = std::chrono::milliseconds(offscreen ? 0 : 15);
    m_foldBudget = std::chrono::milliseconds(offscreen ? 0 : 240);
}

ToolbarWindows::~ToolbarWindows() = default;

void ToolbarWindows::setFoldPace(std::chrono::milliseconds perStep, std::chrono::milliseconds total)
{
    m_stepPause = perStep;
    m_foldBudget = total;
}

FTb& ToolbarWindows::form(std::uint8_t t)
{
    TbrRec& rec = m_set.Tbrs.at(t);
    if (!rec.Form)
        rec.Form = std::make_unique<FTb>(*this, t);
    auto* f = dynamic_cast<FTb*>(rec.Form.get());
    if (!f)
        throw std::logic_error("toolbar record holds a foreign window");
    return *f;
}

FTb& ToolbarWindows::building(std::uint8_t t)
{
    FTb& f = form(t);
    f.m_built = true;
    return f;
}

FTb& ToolbarWindows::ready(std::uint8_t t)
{
    FTb& f = form(t);
    if (!f.built())
        RebuildTbr(t);
    return f;
}

void ToolbarWindows::retagForms()
{
    for (std::size_t i = 0; i <= m_set.TbrLast && i < m_set.Tbrs.size(); ++i)
        if (auto* f = dynamic_cast<FTb*>(m_set.Tbrs[i].Form.get()))
            f->Tag = QString::number(i);
}

void ToolbarWindows::takePositions()
{
    for (std::size_t i = 0; i <= m_set.TbrLast && i < m_set.Tbrs.size(); ++i) {
        TbrRec& rec = m_set.Tbrs[i];
        auto* f = dynamic_cast<FTb*>(rec.Form.get());
        if (f && f->placed() && !isTrue(rec.Unmoveable)) {
            rec.Top = f->topTwips();
            rec.Left = f->leftTwips();
        }
    }
}

bool ToolbarWindows::DrawFileIcon(const std::string& file, std::int16_t index)
{
    QImage& transfer = m_host.imgTransfer();
    transfer = QImage();
    if (index < 1)
        return false;
    const QImage icon = m_services.icons.draw(file, index - 1);
    if (icon.isNull())
        return false;
    transfer = icon.width() == 16 && icon.height() == 16
        ? icon
        : icon.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return true;
}

void ToolbarWindows::BuildImageList(std::uint8_t t)
{
    TbrRec& rec = m_set.Tbrs.at(t);
    FTb& f = building(t);
    std::uint8_t next = 3;
    f.claws().setPicture(DrawFileIcon(rec.IconFile, rec.IconIndex) ? QPixmap::fromImage(m_host.imgTransfer())
                                                                   : m_host.imgClaws());

    // The control draws nothing from the list while it is refilled, and gets it back
    // even when filling fails halfway.
    struct Reattach {
        FTb& f;
        ~Reattach() { f.tbar().setImageList(&f.imlTBAR()); }
    } reattach{f};
    f.tbar().setImageList(nullptr);
    f.imlTBAR().clearCustom();
    for (int k = 1; k <= rec.BtnCount; ++k) {
        BtnRec& b = rec.Btns.at(static_cast<std::size_t>(k));
        if (DrawFileIcon(b.IconFile, b.IconIndex)) {
            f.imlTBAR().put(next, m_host.imgTransfer());
            b.ImageIndex = next;
            ++next;
        } else {
            b.ImageIndex = b.Kind == KindFolder ? 2 : 1;
        }
    }
}

void ToolbarWindows::BuildButtons(std::uint8_t t)
{
    TbrRec& rec = m_set.Tbrs.at(t);
    FTb& f = building(t);
    TBar& bar = f.tbar();
    rec.SepCount = 0;
    for (int n = bar.buttonCount() - 2; n > 0; --n)
        bar.removeButton(3);
    f.setEntryMap({});

    std::vector<int> entries(3, 0); // positions 0 (unused), 1 and 2 (the fixed buttons)
    std::uint8_t skipped = 0;
    const bool captions = isTrue(rec.Captions);
    for (int k = 1; k <= rec.BtnCount; ++k) {
        const BtnRec& b = rec.Btns.at(static_cast<std::size_t>(k));
        const int p = k + 2 - skipped;
        if (b.Kind == KindSeparator) {
            bar.addButton(p, TBar::Style::Gap, 0);
            ++rec.SepCount;
        } else if (IsBlankButton(b)) {
            // Left out exactly as the toolbar file leaves it out, so what is shown now
            // is what comes back at the next start.
            ++skipped;
            continue;
        } else {
            bar.addButton(p, TBar::Style::Normal, b.ImageIndex);
            const QString name = QString::fromLocal8Bit(b.Name);
            if (captions)
                bar.setCaption(p, name);
            else
                bar.setToolTipText(p, name);
        }
        entries.push_back(k);
    }
    f.setEntryMap(std::move(entries));
}

void ToolbarWindows::PlaceWindow(std::uint8_t t)
{
    TbrRec& rec = m_set.Tbrs.at(t);
    FTb& f = building(t);
    f.setTopTwips(rec.Top);
    f.setLeftTwips(rec.Left);
    rec.Width = FTb::EmptyTwips;
    rec.Height = FTb::EmptyTwips;
    if (rec.BtnCount == 0) {
        f.setWidthTwips(FTb::EmptyTwips);
        f.setHeightTwips(FTb::EmptyTwips);
    } else {
        SizeWindow(t);
    }
}

void ToolbarWindows::SizeWindow(std::uint8_t t)
{
    TbrRec& rec = m_set.Tbrs.at(t);
    FTb& f = building(t);
    TBar& bar = f.tbar();
    const int n = bar.buttonCount() - 2;
    const int s = rec.SepCount;
    const int m = n - s;
    if (!isTrue(rec.Vertical)) {
        bar.setWrappable(false);
        bar.setWidthTwips(n == 0 ? bar.buttonWidth()
                                 : bar.buttonWidth() * float(m) + TBar::GapTwips * float(s) + TBar::FixedTwips);
        f.setWidthTwips(bar.widthTwips() + Frame);
        f.setHeightTwips(bar.heightTwips() + Frame);
        rec.Width = f.widthTwips();
        rec.Height = f.heightTwips();
    } else {
        bar.setWrappable(true);
        bar.setWidthTwips(bar.buttonWidth());
        f.setHeightTwips(n == 0 ? FTb::EmptyTwips
                                : bar.buttonHeight() * float(m) + TBar::GapTwips * float(s) + TBar::FixedTwips
                                    + Frame);
        f.setWidthTwips(bar.widthTwips() + Frame);
        rec.Width = f.widthTwips();
    }
}

void ToolbarWindows::RebuildTbr(std::uint8_t t)
{
    BuildImageList(t);
    BuildButtons(t);
    RefreshTbrWindow(t);
}

void ToolbarWindows::RefreshTbrWindow(std::uint8_t t)
{
    building(t);
    ApplyCaptionStyle(t);
    PlaceWindow(t);
    if (isTrue(m_set.Tbrs.at(t).AutoHide))
        FoldTbr(t, -1);
    SyncModeMenu(t);
    // The fold let events run: look the record up again.
    const TbrRec& rec = m_set.Tbrs.at(t);
    FTb& f = form(t);
    f.setWindowTitle(QString::fromLocal8Bit(rec.Name));
    // While the button editor is open the windows keep their visibility.
    if (m_host.buttonEditorVisible())
        return;
    if (t == 0 || isTrue(rec.Visible))
        showForm(f, rec);
    else
        f.hide();
}

void ToolbarWindows::ApplyMode(std::uint8_t t, std::uint8_t m)
{
    m_host.setBusyMark(QStringLiteral("1"));
    // The mark is cleared however this ends: a mark left at "1" would leave the
    // configuration window's check boxes dead.
    struct ClearMark {
        ToolbarHost& host;
        ~ClearMark()
        {
            skipOnError([&] { host.setBusyMark(QStringLiteral("0")); });
        }
    } clear{m_host};
    if (m >= ModeCount)
        return;

    // A toolbar not built yet is built as it stands, then switched.
    FTb& f = ready(t);
    Bool16& flag = m_set.Tbrs.at(t).mode(m);
    flag = isTrue(flag) ? False16 : True16;
    const bool on = isTrue(flag);
    if (QAction* item = f.modeItem(m))
        item->setChecked(on);
    if (m != Visible && m_host.configShows(t))
        m_host.setModeCheck(m, on);

    switch (m) {
    case Vertical:
        RefreshTbrWindow(t);
        break;
    case Captions:
        ApplyCaptionStyle(t);
        ApplyCaptions(t);
        PlaceWindow(t);
        break;
    case AlwaysOnTop:
        SetTopmost(f, on);
        break;
    case Visible:
        // Toolbar 0 is always shown.
        if (on || t == 0)
            showForm(f, m_set.Tbrs.at(t));
        else
            f.hide();
        if (m_host.configShows(t))
            m_host.setModeCheck(m, on);
        break;
    case AutoHide:
        if (!on) {
            // A window unfolded by the mouse is no longer watched: with auto-hide off
            // it must not fold away when the mouse leaves, and a later hover (once the
            // mode is on again) must find it ready to unfold.
            f.tmrWaitFade().stop();
            if (f.FoldState == -1)
                f.FoldState = 1;
        }
        FoldTbr(t, on ? -1 : 1);
        break;
    default:
        break;
    }
    m_host.saveConfig();
}

void ToolbarWindows::ApplyCaptionStyle(std::uint8_t t)
{
    building(t).tbar().setTextAlignment(isTrue(m_set.Tbrs.at(t).Captions) ? 1 : 0);
}

void ToolbarWindows::ApplyCaptions(std::uint8_t t)
{
    TbrRec& rec = m_set.Tbrs.at(t);
    FTb& f = form(t);
    TBar& bar = f.tbar();
    const bool captions = isTrue(rec.Captions);
    for (int c = 3; c <= bar.buttonCount(); ++c) {
        skipOnError([&] {
            const int k = f.entryAt(c);
            if (k < 1 || k > rec.BtnCount)
                return;
            const QString name = QString::fromLocal8Bit(rec.Btns.at(static_cast<std::size_t>(k)).Name);
            if (captions) {
                bar.setToolTipText(c, QString());
                bar.setCaption(c, name);
            } else {
                bar.setToolTipText(c, name);
                bar.setCaption(c, QString());
            }
        });
    }
}

void ToolbarWindows::SyncModeMenu(std::uint8_t t)
{
    form(t).syncMenu();
}

void ToolbarWindows::FoldTbr(std::uint8_t t, int direction)
{
    if (direction != -1 && direction != 1)
        return;
    FTb& f = ready(t);
    const TbrRec& rec = m_set.Tbrs.at(t);
    const bool vertical = isTrue(rec.Vertical);
    const bool sizedFromButtons = !(rec.Width == FTb::EmptyTwips && rec.Height == FTb::EmptyTwips);
    // Folding lets events run between its steps; one of them must not start another
    // fold of the same window (it would fight this one over the size).
    if (f.m_folding)
        return;
    if (direction == 1 && !sizedFromButtons) {
        // Nothing but the handle: its full size is the one it was placed with.
        f.setWidthTwips(FTb::EmptyTwips);
        f.setHeightTwips(FTb::EmptyTwips);
        return;
    }
    QPointer<FTb> alive(&f);
    f.m_folding = true;
    try {
        if (direction == -1)
            foldAway(f, vertical);
        else
            unfold(t, f, vertical);
    } catch (...) {
        if (alive)
            alive->m_folding = false;
        throw;
    }
    if (alive)
        alive->m_folding = false;
}

void ToolbarWindows::foldAway(FTb& form, bool vertical)
{
    double step = 0.0;
    if (vertical) {
        // Width and height shrink together and reach the folded square at once.
        step = (double(form.widthTwips()) - StepRatioOffset) * FoldStep
            / (double(form.heightTwips()) - StepRatioOffset);
        form.claws().Tag = QString::number(step, 'g', 17);
        // Each step takes the width down by the step as the unfold will read it back.
        step = storedFoldStep(form);
    }
    if (!form.isVisible()) {
        // Nobody sees the steps: the window takes at once the size they end in, which
        // depends on nothing but the orientation (the steps overshoot to the handle).
        if (vertical)
            form.moveTwips(form.leftTwips(), form.topTwips(), FoldedSize, FoldedSize);
        else
            form.setWidthTwips(FoldedSize);
        return;
    }
    const FoldPacer pacer(m_stepPause, m_foldBudget, vertical ? form.heightTwips() : form.widthTwips());
    QPointer<FTb> f(&form);
    for (;;) {
        const float W = f->widthTwips();
        const float H = f->heightTwips();
        if (vertical) {
            if (!(H >= FoldEnd)) {
                f->setHeightTwips(FoldedSize);
                f->setWidthTwips(FoldedSize);
                return;
            }
            f->moveTwips(f->leftTwips(), f->topTwips(), float(double(W) - step), H - FoldStep);
        } else {
            if (!(W >= FoldEnd)) {
                f->setWidthTwips(FoldedSize);
                return;
            }
            f->moveTwips(f->leftTwips(), f->topTwips(), W - FoldStep, H);
        }
        pacer.pause();
        if (!f)
            return; // the window went away meanwhile
    }
}

void ToolbarWindows::unfold(std::uint8_t t, FTb& f, bool vertical)
{
    TBar& bar = f.tbar();
    const double step = vertical ? storedFoldStep(f) : 0.0;
    // The unfold steps run without a pause, so the buttons cannot change under them.
    const int n = bar.buttonCount() - 2;
    const int s = m_set.Tbrs.at(t).SepCount;
    const double button = vertical ? bar.buttonHeight() : bar.buttonWidth();
    const float target = float(button * (n - s) + Frame + TBar::FixedTwips + double(TBar::GapTwips) * s);
    for (;;) {
        const float W = f.widthTwips();
        const float H = f.heightTwips();
        if (vertical && target >= H)
            f.moveTwips(f.leftTwips(), f.topTwips(), float(double(W) + step), H + FoldStep);
        else if (!vertical && target >= W)
            f.moveTwips(f.leftTwips(), f.topTwips(), W + FoldStep, H);
        else
            break;
    }
    if (vertical) {
        f.setHeightTwips(target);
        f.setWidthTwips(bar.buttonWidth() + Frame);
    } else {
        f.setWidthTwips(target);
    }
}

bool SetTopmost(QWidget& window, bool on)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // QWidget::setWindowFlags would re-create the native window, hiding it on X11; the
    // stacking hint alone is passed to the existing window instead.
    if (flags != window.windowFlags())
        window.overrideWindowFlags(flags);
    QWindow* native = window.testAttribute(Qt::WA_WState_Created) ? window.windowHandle() : nullptr;
    if (!native)
        return false;
    native->setFlags(flags);
    return true;
}
