#include "toolbar/ToolbarManager.h"

#include "platform/SkipOnError.h"
#include "toolbar/BuiltinPictures.h"
#include "toolbar/ScreenRescue.h"
#include "toolbar/ToolbarWindow.h"

#include <QGuiApplication>
#include <QScreen>

#include <stdexcept>
#include <string>

ToolbarManager::ToolbarManager(ToolbarSet& set, Services services, ToolbarHost& host, Clock& clock)
    : m_context{set, services, host, clock}
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    m_context.pictureRatio = ratio;
    m_context.filePicture = QPixmap::fromImage(builtinFilePicture(ratio));
    m_context.folderPicture = QPixmap::fromImage(builtinFolderPicture(ratio));

    // Monitors come and go: a toolbar on one that went, or beyond the edge of one that
    // shrank, is brought back once the screens have settled.
    m_screenWatch = std::make_unique<QObject>();
    if (qGuiApp) {
        for (QScreen* screen : QGuiApplication::screens())
            watchScreen(screen);
        QObject::connect(qGuiApp, &QGuiApplication::screenAdded, m_screenWatch.get(),
                         [this](QScreen* screen) { watchScreen(screen); });
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
    const std::optional<QPoint> to = rescuedPosition(window.geometry(), areas);
    if (!to)
        return;
    const QRect moved(*to, window.geometry().size());
    const QScreen* target = nullptr;
    for (const QScreen* screen : screens)
        if (screen->availableGeometry().intersects(moved))
            target = screen;
    window.takePlaceAt(*to, target);
}

ToolbarManager::~ToolbarManager()
{
    // A retired window still waiting for its deletion refers to this manager's context.
    for (const QPointer<ToolbarWindow>& w : m_retired)
        delete w.data();
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
    if (!w.built()) {
        w.ensureBuilt();
        // A toolbar saved on a monitor that is no longer there comes up on one that is.
        rescue(w);
    }
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
        if (w && w->placed() && !isTrue(rec.Unmoveable)) {
            rec.Top = w->topTwips();
            rec.Left = w->leftTwips();
        }
    }
}

void ToolbarManager::closeAll()
{
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
