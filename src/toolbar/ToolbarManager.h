#pragma once

#include "platform/Services.h"
#include "store/ToolbarSet.h"
#include "toolbar/ToolbarContext.h"

#include "platform/OwnedWindow.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CaptionCache;
class Clock;
class Ticker;
class QScreen;
class QThread;
class ToolbarHost;
class ToolbarWindow;
class WindowPlaces;

// The one owner of the toolbar windows, and the only place that maps a toolbar's index
// to its window. A window is made (hidden) the first time something needs it, so a large
// set starts with only its visible toolbars built; the manager renumbers the windows
// when a toolbar is removed from the set.
class ToolbarManager {
public:
    ToolbarManager(ToolbarSet& set, Services services, ToolbarHost& host, Clock& clock);
    ~ToolbarManager();
    ToolbarManager(const ToolbarManager&) = delete;
    ToolbarManager& operator=(const ToolbarManager&) = delete;

    // Toolbar t's window, made hidden and unbuilt when there is none yet. Throws
    // std::out_of_range when the set has no toolbar t.
    ToolbarWindow& window(std::uint8_t t);
    // Toolbar t's window, or null when none was made yet.
    ToolbarWindow* find(std::uint8_t t) const;
    // Toolbar t's window, built completely (pictures, buttons, size, fold, visibility as
    // the record says) if it was not yet.
    ToolbarWindow& ready(std::uint8_t t);

    // Toggles mode m of toolbar t: the one way every mode is changed.
    void applyMode(std::uint8_t t, int m);
    // The window of toolbar t goes (the toolbar was removed from the set); the windows of
    // the toolbars after it move down one index with their records.
    void remove(std::uint8_t t);
    // Copies the live window positions of moveable toolbars into their records' Top and
    // Left; the configuration file is written from the records. A toolbar whose window
    // was never placed, or stands at a place the program chose, keeps the record's place.
    void takePositions();
    // Brings every placed window whose handle is not wholly on one screen's available
    // area the least distance that puts the whole handle on the nearest screen, and
    // puts a window brought back so back at its record's place once its handle is wholly
    // on a screen there. The record keeps the user's place meanwhile. Also runs by
    // itself whenever a screen comes, goes or changes size, and for each window whenever
    // it is laid out.
    void rescueOffScreen();
    // Ends every window: hidden at once, deleted once the event loop is back from
    // whatever handler is running, so no window goes away under its own handler.
    void closeAll();
    // When a toolbar that comes up at start shows captions, starts loading the font
    // database on another thread, so that it is read while the toolbar files are
    // (the first caption measured waits for it). Call once the set's records are in.
    // Unless every caption is kept with the fonts as they are now (see keepCaptions),
    // in which case no font is needed at all.
    void loadCaptionFontsAhead();
    // Keeps the captions' measures and pictures in file, for the windows made from now
    // on; the file is written as soon as the start is over, and by closeAll().
    void keepCaptions(const std::string& file);

private:
    void retire(ToolbarWindow* window);
    void rescue(ToolbarWindow& window);
    void watchScreen(QScreen* screen);
    void rescueSoon();

    ToolbarContext m_context;
    std::unique_ptr<CaptionCache> m_captions; // outlives the windows that use it
    std::unique_ptr<WindowPlaces> m_places;
    std::vector<std::unique_ptr<ToolbarWindow>> m_windows; // by toolbar index; null: none yet
    // Receives the screens' signals; gone with the manager, and the connections with it.
    std::unique_ptr<QObject> m_screenWatch;
    bool m_rescuePending{false};
    // Runs out once the screens have not changed for a while.
    std::unique_ptr<Ticker> m_settle;
    // Loads the font database ahead of the first caption; waited for before the end.
    std::unique_ptr<QThread> m_fontLoader;
    // Windows closed or removed whose deletion waits for the event loop. Last, so that
    // they go first: they refer to everything above.
    std::vector<OwnedWindow<ToolbarWindow>> m_retired;
    static constexpr std::chrono::milliseconds SettleTime{1000};
};
