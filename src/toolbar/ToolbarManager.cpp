#include "toolbar/ToolbarManager.h"

#include "platform/Clock.h"
#include "platform/SkipOnError.h"
#include "platform/Log.h"
#include "platform/WindowPlaces.h"
#include "toolbar/CaptionCache.h"
#include "toolbar/BuiltinPictures.h"
#include "toolbar/ScreenRescue.h"
#include "toolbar/ToolbarWindow.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <stdexcept>
#include <string>

ToolbarManager::ToolbarManager(ToolbarSet& set, Services services, ToolbarHost& host, Clock& clock)
    : m_context{set, services, host, clock}
    , m_places(std::make_unique<WindowPlaces>())
{
    m_context.places = m_places.get();
    m_context.keepWithinReach = [this](ToolbarWindow& window) { rescue(window); };
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    m_context.pictureRatio = ratio;
    m_context.filePicture = QPixmap::fromImage(builtinFilePicture(ratio));
    m_context.folderPicture = QPixmap::fromImage(builtinFolderPicture(ratio));
    m_context.recallPicture = QPixmap::fromImage(builtinRecallPicture(ratio));

    // Monitors come and go: a toolbar on one that went, or beyond the edge of one that
    // shrank, is brought back once the screens have settled, and goes back to its own
    // place when a screen there comes back.
    m_screenWatch = std::make_unique<QObject>();
    m_settle = clock.makeTicker();
    QObject::connect(m_settle.get(), &Ticker::timeout, m_screenWatch.get(), [this] {
        m_settle->stop();
        m_context.screensSettling = false;
        skipOnError("bringing toolbars back on screen", [&] { rescueOffScreen(); });
    });
    if (qGuiApp) {
        for (QScreen* screen : QGuiApplication::screens())
            watchScreen(screen);
        QObject::connect(qGuiApp, &QGuiApplication::screenAdded, m_screenWatch.get(),
                         [this](QScreen* screen) {
                             watchScreen(screen);
                             rescueSoon();
                         });
        QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, m_screenWatch.get(), [this] { rescueSoon(); });
    }
}

void ToolbarManager::watchScreen(QScreen* screen)
{
    QObject::connect(screen, &QScreen::availableGeometryChanged, m_screenWatch.get(), [this] { rescueSoon(); });
    QObject::connect(screen, &QScreen::geometryChanged, m_screenWatch.get(), [this] { rescueSoon(); });
}

void ToolbarManager::rescueSoon()
{
    // A window manager keeps windows on the changed screens by moves of its own, which
    // come in around the toolkit's notice of the change; until they are over, a move
    // it makes is its choice, not the user's, and the toolbars are looked at again once
    // the screens have settled.
    m_context.screensSettling = true;
    m_settle->start(SettleTime);
    if (m_rescuePending)
        return;
    m_rescuePending = true;
    QMetaObject::invokeMethod(
        m_screenWatch.get(),
        [this] {
            m_rescuePending = false;
            skipOnError("bringing toolbars back on screen", [&] { rescueOffScreen(); });
        },
        Qt::QueuedConnection);
}

void ToolbarManager::rescueOffScreen()
{
    for (const std::unique_ptr<ToolbarWindow>& w : m_windows)
        if (w)
            rescue(*w);
}

void ToolbarManager::rescue(ToolbarWindow& window)
{
    if (!window.placed() || !qGuiApp)
        return;
    std::vector<QRect> areas;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        areas.push_back(screen->availableGeometry());
    // The place the user gave a toolbar is where it goes as soon as its handle is wholly
    // on a screen there again.
    if (window.rescued() && !rescuedPosition(window.recordHandlePixelRect(), areas)) {
        window.returnToRecordPlace();
        return;
    }
    const QRect handle = window.handlePixelRect();
    const std::optional<QPoint> to = rescuedPosition(handle, areas);
    if (!to)
        return;
    const QRect moved(*to, handle.size());
    const QScreen* target = nullptr;
    for (const QScreen* screen : screens)
        if (screen->availableGeometry().contains(moved))
            target = screen;
    window.showRescuedAt(window.pixelRect().topLeft() + (*to - handle.topLeft()), target);
}

ToolbarManager::~ToolbarManager()
{
    if (m_fontLoader)
        m_fontLoader->wait();
}

ToolbarWindow& ToolbarManager::window(std::uint8_t t)
{
    const ToolbarSet& set = m_context.set;
    if (t > set.TbrLast || t >= set.Tbrs.size())
        throw std::out_of_range("no toolbar " + std::to_string(t) + " in the set");
    if (m_windows.size() <= t)
        m_windows.resize(std::size_t(t) + 1);
    std::unique_ptr<ToolbarWindow>& w = m_windows[t];
    if (!w)
        w = std::make_unique<ToolbarWindow>(m_context, t);
    return *w;
}

ToolbarWindow* ToolbarManager::find(std::uint8_t t) const
{
    return t < m_windows.size() ? m_windows[t].get() : nullptr;
}

ToolbarWindow& ToolbarManager::ready(std::uint8_t t)
{
    ToolbarWindow& w = window(t);
    // A toolbar saved on a monitor that is no longer there comes up on one that is: its
    // layout brings it within reach.
    w.ensureBuilt();
    return w;
}

void ToolbarManager::applyMode(std::uint8_t t, int m)
{
    window(t).applyMode(m);
}

void ToolbarManager::remove(std::uint8_t t)
{
    if (t >= m_windows.size())
        return;
    if (ToolbarWindow* gone = m_windows[t].release())
        retire(gone);
    m_windows.erase(m_windows.begin() + t);
    for (std::size_t i = t; i < m_windows.size(); ++i)
        if (m_windows[i])
            m_windows[i]->setIndex(static_cast<std::uint8_t>(i));
}

void ToolbarManager::takePositions()
{
    ToolbarSet& set = m_context.set;
    for (std::size_t i = 0; i <= set.TbrLast && i < set.Tbrs.size() && i < m_windows.size(); ++i) {
        TbrRec& rec = set.Tbrs[i];
        const ToolbarWindow* w = m_windows[i].get();
        // A place the program chose to bring a toolbar within reach is not the user's.
        if (w && w->placed() && !w->rescued() && !isTrue(rec.Unmoveable)) {
            rec.Top = w->topTwips();
            rec.Left = w->leftTwips();
        }
    }
}

void ToolbarManager::closeAll()
{
    if (m_captions) {
        if (const Result<void> saved = m_captions->save(); !saved)
            qCWarning(lcVyre).noquote() << "The caption cache could not be written:"
                                        << QString::fromLocal8Bit(saved.reason());
    }
    for (std::unique_ptr<ToolbarWindow>& w : m_windows) {
        if (ToolbarWindow* gone = w.release())
            retire(gone);
    }
    m_windows.clear();
}

void ToolbarManager::retire(ToolbarWindow* window)
{
    window->shutDown();
    window->deleteLater();
    m_retired.emplace_back(window);
}

void ToolbarManager::keepCaptions(const std::string& file)
{
    m_captions = std::make_unique<CaptionCache>(file);
    m_context.captions = m_captions.get();
}

void ToolbarManager::loadCaptionFontsAhead()
{
    if (m_fontLoader || !qGuiApp)
        return;
    const ToolbarSet& set = m_context.set;
    bool captions = false;
    for (std::size_t t = 0; t <= set.TbrLast && t < set.Tbrs.size(); ++t)
        captions = captions || ((t == 0 || isTrue(set.Tbrs[t].Visible)) && isTrue(set.Tbrs[t].Captions));
    // Captions drawn before with the fonts as they are need none: if some caption is not
    // kept after all, it loads them as it is measured.
    if (!captions || (m_captions && m_captions->fontsUnchanged()))
        return;
    // Reading the system's font configuration and listing its fonts is most of what the
    // first caption costs, and needs nothing of the toolbars: on a second core it is done
    // by the time the windows are built. The font database serves every thread, behind a
    // lock of its own.
    m_fontLoader.reset(QThread::create([] { QFontDatabase::families(); }));
    m_fontLoader->start();
}
