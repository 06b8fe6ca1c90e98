#include "toolbar/FTb.h"

#include "platform/Pointer.h"
#include "toolbar/ClawsPicture.h"
#include "toolbar/SkipOnError.h"
#include "toolbar/TBar.h"
#include "toolbar/ToolbarHost.h"
#include "toolbar/ToolbarWindows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

double sanePerPixel(double twips)
{
    return twips > 0.0 && std::isfinite(twips) ? twips : 15.0;
}

int toPixels(double twips, double perPixel)
{
    const double px = twips / perPixel;
    if (!std::isfinite(px))
        return 0;
    return static_cast<int>(std::lround(std::clamp(px, -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX))));
}

// The dropped files, as full local paths; links that are not files are left out.
QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

FTb::FTb(ToolbarWindows& owner, std::uint8_t index)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    , Tag(QString::number(index))
    , m_owner(owner)
    , m_images(owner.builtinFilePicture(), owner.builtinFolderPicture())
{
    const double x = perPixelX(), y = perPixelY();
    m_tbar = new TBar(owner.services().pointer, this);
    m_tbar->setImageList(&m_images);
    m_tbar->move(toPixels(FrameTwips, x), toPixels(FrameTwips, y));
    // Made after the control, so it lies over the control's first fixed button.
    m_claws = new ClawsPicture(this);
    m_claws->setGeometry(toPixels(FrameTwips + ClawsTwips, x), toPixels(FrameTwips + ClawsTwips, y),
                         toPixels(ClawsSideTwips, x), toPixels(ClawsSideTwips, y));

    m_tmrWaitFade.setInterval(200);
    connect(&m_tmrWaitFade, &QTimer::timeout, this, [this] { tmrWaitFade_Timer(); });

    connect(m_tbar, &TBar::buttonClicked, this,
            [this](int position) { skipOnError([&] { TBar_ButtonClick(position); }); });
    connect(m_tbar, &TBar::dropped, this, [this](const QMimeData* data, QPointF at) {
        skipOnError([&] { TBar_OLEDragDrop(data, float(at.x()), float(at.y())); });
    });
    connect(m_claws, &ClawsPicture::mouseDown, this, [this](int button, QPointF global) {
        skipOnError([&] {
            const QPointF at = clawsTwips(global);
            Claws_MouseDown(button, 0, float(at.x()), float(at.y()));
        });
    });
    connect(m_claws, &ClawsPicture::mouseMove, this, [this](int buttons, QPointF global) {
        skipOnError([&] {
            const QPointF at = clawsTwips(global);
            Claws_MouseMove(buttons, 0, float(at.x()), float(at.y()));
        });
    });
    connect(m_claws, &ClawsPicture::mouseUp, this, [this](int button, QPointF global) {
        skipOnError([&] {
            const QPointF at = clawsTwips(global);
            Claws_MouseUp(button, 0, float(at.x()), float(at.y()));
        });
    });
    connect(m_claws, &ClawsPicture::doubleClicked, this, [this] { Claws_DblClick(); });
    connect(m_claws, &ClawsPicture::dropped, this,
            [this](const QMimeData* data) { skipOnError([&] { Claws_OLEDragDrop(data); }); });
}

FTb::~FTb() = default;

void FTb::buildMenu()
{
    C_mnuPOPUP = new QMenu(this);
    C_mnuMODES = C_mnuPOPUP->addMenu(QStringLiteral("&Modes"));
    const char* const captions[ModeCount] = {"&Vertical", "&Captions", "&Always on Top",
                                             "V&isible",  "Auto &Hide", "&Unmoveable"};
    QAction** const items[ModeCount] = {&M_mnuVERT, &M_mnuCAP, &M_mnuAOT, &M_mnuVIS, &M_mnuAHIDE, &M_mnuUNMOVE};
    for (int m = 0; m < ModeCount; ++m) {
        QAction* item = C_mnuMODES->addAction(QString::fromLatin1(captions[m]));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, m] { modeItemClicked(m); });
        *items[m] = item;
    }
    C_mnuCFG = C_mnuPOPUP->addAction(QStringLiteral("&Config..."));
    QFont bold = C_mnuCFG->font();
    bold.setBold(true);
    C_mnuCFG->setFont(bold);
    C_mnuPOPUP->setDefaultAction(C_mnuCFG);
    Z_sep01 = C_mnuPOPUP->addSeparator();
    C_mnuABOUT = C_mnuPOPUP->addAction(QStringLiteral("&About"));
    C_mnuEND = C_mnuPOPUP->addAction(QStringLiteral("&Terminate"));

    connect(C_mnuCFG, &QAction::triggered, this, [this] {
        skipOnError([&] {
            if (const auto t = index())
                m_owner.host().showConfig(*t);
        });
    });
    connect(C_mnuABOUT, &QAction::triggered, this, [this] { skipOnError([&] { m_owner.host().showAbout(); }); });
    // Queued: ending the program closes this window, which must not happen while its
    // own menu is still delivering the click.
    connect(
        C_mnuEND, &QAction::triggered, this, [this] { skipOnError([&] { m_owner.host().terminate(); }); },
        Qt::QueuedConnection);
}

QMenu& FTb::menu()
{
    if (!C_mnuPOPUP) {
        buildMenu();
        syncMenu();
    }
    return *C_mnuPOPUP;
}

void FTb::syncMenu()
{
    const auto t = index();
    if (!C_mnuPOPUP || !t)
        return;
    const TbrRec& rec = m_owner.set().Tbrs.at(*t);
    // Toolbar 0 is always shown, so its Visible mode cannot be switched.
    M_mnuVIS->setEnabled(*t != 0);
    for (int m = 0; m < ModeCount; ++m)
        modeItem(m)->setChecked(isTrue(rec.mode(m)));
}

QAction* FTb::modeItem(int m) const
{
    const std::array<QAction*, ModeCount> items{M_mnuVERT, M_mnuCAP, M_mnuAOT, M_mnuVIS, M_mnuAHIDE, M_mnuUNMOVE};
    return m >= 0 && m < ModeCount ? items[static_cast<std::size_t>(m)] : nullptr;
}

std::optional<std::uint8_t> FTb::index() const
{
    bool ok = false;
    const uint t = Tag.toUInt(&ok);
    const ToolbarSet& set = m_owner.set();
    if (!ok || t > set.TbrLast || t >= set.Tbrs.size())
        return std::nullopt;
    return static_cast<std::uint8_t>(t);
}

TbrRec& FTb::record() const
{
    const auto t = index();
    if (!t)
        throw std::out_of_range("toolbar window without a toolbar");
    return m_owner.set().Tbrs.at(*t);
}

double FTb::perPixelX() const
{
    return sanePerPixel(m_owner.services().pointer.twipsPerPixelX());
}

double FTb::perPixelY() const
{
    return sanePerPixel(m_owner.services().pointer.twipsPerPixelY());
}

void FTb::setLeftTwips(float left)
{
    m_left = left;
    applyGeometry();
}

void FTb::setTopTwips(float top)
{
    m_top = top;
    applyGeometry();
}

void FTb::setWidthTwips(float width)
{
    m_width = width;
    applyGeometry();
}

void FTb::setHeightTwips(float height)
{
    m_height = height;
    applyGeometry();
}

void FTb::moveTwips(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyGeometry();
}

void FTb::applyGeometry()
{
    m_placed = true;
    const double x = perPixelX(), y = perPixelY();
    const QRect r(toPixels(m_left, x), toPixels(m_top, y), std::max(1, toPixels(m_width, x)),
                  std::max(1, toPixels(m_height, y)));
    if (r != geometry())
        setGeometry(r);
    emit geometryTwipsChanged();
}

QPointF FTb::clawsTwips(QPointF globalPixel) const
{
    return QPointF(globalPixel.x() * perPixelX() - (double(m_left) + FrameTwips + ClawsTwips),
                   globalPixel.y() * perPixelY() - (double(m_top) + FrameTwips + ClawsTwips));
}

int FTb::entryAt(int position) const
{
    return position >= 0 && position < static_cast<int>(m_entries.size())
        ? m_entries[static_cast<std::size_t>(position)]
        : 0;
}

void FTb::Claws_MouseDown(int button, int, float X, float Y)
{
    if (button == 2) {
        Dragging = false;
        openPopupMenu();
    } else if (button == 1) {
        // While the button is held, Qt sends every move and the release to the handle
        // wherever the mouse goes, so no explicit capture is taken.
        if (!isTrue(record().Unmoveable)) {
            GrabY = Y;
            GrabX = X;
            Dragging = true;
        }
    }
}

void FTb::Claws_MouseMove(int, int, float X, float Y)
{
    if (Dragging)
        moveTwips(m_left + X - GrabX, m_top + Y - GrabY, m_width, m_height);
    hoverCheck();
}

void FTb::Claws_MouseUp(int, int, float, float)
{
    skipOnError([&] {
        TbrRec& rec = record();
        if (!isTrue(rec.Unmoveable)) {
            rec.Top = m_top;
            rec.Left = m_left;
        }
    });
    Dragging = false;
}

void FTb::hoverCheck()
{
    const auto t = index();
    if (!t)
        return;
    const TbrRec& rec = m_owner.set().Tbrs.at(*t);
    if (!isTrue(rec.AutoHide) || (rec.Width == EmptyTwips && rec.Height == EmptyTwips) || m_tmrWaitFade.isActive())
        return;
    // A fold in progress lets events run between its steps; it finishes first.
    if (m_folding)
        return;
    if (FoldState == 0)
        FoldState = 1;
    if (FoldState == 1) {
        m_tmrWaitFade.start();
        m_owner.FoldTbr(*t, 1);
        FoldState = -1;
    }
}

void FTb::tmrWaitFade_Timer()
{
    // The fold this tick would start is already running.
    if (m_folding)
        return;
    QPoint cursor;
    bool outside = false;
    skipOnError([&] { cursor = m_owner.services().pointer.cursorPixel(); });
    skipOnError([&] {
        const double left = m_left / perPixelX();
        const double right = left + m_width / perPixelX();
        const double top = m_top / perPixelY();
        const double bottom = top + m_height / perPixelY();
        // A cursor exactly on an edge is inside.
        outside = left > cursor.x() || right < cursor.x() || top > cursor.y() || bottom < cursor.y();
    });
    if (!outside)
        return;
    skipOnError([&] { m_tmrWaitFade.stop(); });
    skipOnError([&] {
        if (const auto t = index())
            m_owner.FoldTbr(*t, -1);
    });
    FoldState = 1;
}

void FTb::openPopupMenu()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The menu then closes properly when the user clicks elsewhere.
    if (isVisible())
        activateWindow();
    QMenu& popup = menu();
    syncMenu();
    const QPoint at(toPixels(FrameTwips + MenuAtTwips, perPixelX()), toPixels(FrameTwips + MenuAtTwips, perPixelY()));
    popup.popup(mapToGlobal(at));
}

void FTb::modeItemClicked(int m)
{
    const auto t = index();
    if (!t)
        return;
    skipOnError([&] { m_owner.ApplyMode(*t, static_cast<std::uint8_t>(m)); });
    // The item toggled its own tick when clicked; it must show the flag even when
    // applying the mode failed halfway.
    skipOnError([&] {
        if (QAction* item = modeItem(m))
            item->setChecked(isTrue(record().mode(m)));
    });
}

void FTb::Claws_DblClick()
{
    skipOnError([&] {
        if (const auto t = index())
            m_owner.host().showConfig(*t);
    });
}

void FTb::Claws_OLEDragDrop(const QMimeData* data)
{
    const QStringList files = localFiles(data);
    const auto t = index();
    if (files.isEmpty() || !t)
        return;
    m_owner.host().filesDropped(*t, 0, files);
}

void FTb::TBar_ButtonClick(int position)
{
    const auto t = index();
    const int k = entryAt(position);
    if (t && k > 0)
        m_owner.host().buttonClicked(*t, k);
}

void FTb::TBar_OLEDragDrop(const QMimeData* data, float X, float Y)
{
    const QStringList files = localFiles(data);
    const auto t = index();
    if (files.isEmpty() || !t)
        return;
    const bool vertical = isTrue(m_owner.set().Tbrs.at(*t).Vertical);
    // That end of the control lies under the drag handle.
    if ((vertical ? Y : X) <= TBar::FixedTwips)
        return;
    int hit = 0;
    for (int c = 3; c <= m_tbar->buttonCount() && hit == 0; ++c) {
        const QRectF r = m_tbar->buttonRect(c);
        const bool over = vertical ? r.top() <= Y && Y < r.top() + r.height() : r.left() <= X && X < r.left() + r.width();
        if (over && m_tbar->style(c) != TBar::Style::Gap)
            hit = entryAt(c);
    }
    if (hit > 0)
        m_owner.host().filesDropped(*t, hit, files);
}

void FTb::Form_Activate()
{
    if (m_activating)
        return;
    m_activating = true;
    skipOnError([&] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        SetTopmost(*this, isTrue(record().AlwaysOnTop));
    });
    m_activating = false;
}

bool FTb::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void FTb::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int line = std::max(1, std::min(toPixels(FrameTwips, perPixelX()), toPixels(FrameTwips, perPixelY())));
    // A raised frame of solid bands: filling spans is far cheaper than drawing it line by
    // line, which shows on bars wider than the screen.
    const QRect r = rect();
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    p.fillRect(r.left(), r.top(), r.width(), line, light);
    p.fillRect(r.left(), r.top(), line, r.height(), light);
    p.fillRect(r.left(), r.bottom() - line + 1, r.width(), line, dark);
    p.fillRect(r.right() - line + 1, r.top() + line, line, r.height() - line, dark);
}

void FTb::closeEvent(QCloseEvent* event)
{
    // A toolbar ends with the program ("&Terminate"), not by the window system's close.
    if (event->spontaneous())
        event->ignore();
    else
        QWidget::closeEvent(event);
}
