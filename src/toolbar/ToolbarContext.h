#pragma once

#include "platform/Services.h"
#include "store/ToolbarSet.h"
#include "toolbar/ImageList.h"

#include <QPixmap>

#include <chrono>
#include <functional>

class CaptionCache;
class Clock;
class ToolbarHost;
class ToolbarWindow;
class WindowPlaces;

// What every toolbar window shares: the set, the services, the rest of the program, and
// the pictures drawn once for all of them. The toolbar manager owns it.
struct ToolbarContext {
    ToolbarSet& set;
    Services services;
    ToolbarHost& host;
    Clock& clock;
    // The places the window system announced; null: every reported place is believed.
    const WindowPlaces* places{};
    // Brings a window just laid out within reach (its handle wholly on a screen), or
    // back to its record's place; null: it stays where the record puts it.
    std::function<void(ToolbarWindow&)> keepWithinReach{};
    // Where captions are kept between runs; null: they are measured and drawn every time.
    CaptionCache* captions{};
    QPixmap filePicture{};   // a button whose file has no icon
    QPixmap folderPicture{}; // a folder button without an icon
    QPixmap recallPicture{}; // a button that shows and hides a toolbar, without an icon
    ButtonPictures buttonPictures{}; // the buttons' pictures, one per distinct icon
    // Device pixels per logical pixel of the pictures: the highest of all screens, so a
    // 16x16 picture is sharp wherever a toolbar is.
    qreal pictureRatio{1.0};
    // How a fold is paced: at most stepPause between two steps, and foldBudget for all
    // pauses of one fold together.
    std::chrono::milliseconds stepPause{15};
    std::chrono::milliseconds foldBudget{240};
    // True while a mode is being switched. A message box inside the switch (a failed
    // save) lets the user click again; that click must not start a second switch.
    bool modeChangeRunning{false};
    // True while the screens are changing: the window manager's moves then keep windows
    // on them, and are no places the user chose.
    bool screensSettling{false};
};
