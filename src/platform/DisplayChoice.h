#pragma once

#include <string>

// Which of Qt's window systems to run on. The toolbars are frameless windows that place
// themselves, which Wayland does not let a window do; XWayland (Qt's xcb) does.
struct DisplayFacts {
    std::string display;        // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string qpaPlatform;    // QT_QPA_PLATFORM: the user's own choice
    bool platformChosen{false}; // -platform on the command line
};

enum class DisplayPlan {
    AsIs,      // the user chose a platform, or an X session: Qt decides
    ForceXcb,  // a Wayland session: run on XWayland
    NoDisplay, // nothing to show windows on
    NoXServer, // a Wayland session without XWayland
};

DisplayPlan planDisplay(const DisplayFacts& facts);

// The environment's facts; platformChosen comes from the command line.
DisplayFacts currentDisplayFacts(bool platformChosen);

// False when display names a local X server that does not take connections (its
// socket is missing or refuses). Other displays (remote ones) are taken on trust.
bool XServerAnswers(const std::string& display);
