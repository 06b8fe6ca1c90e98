#pragma once

#include <QPixmap>

#include <cstdint>

// What the configuration window asks of the program. The window only shows the set and
// reports the user's intents; App carries them out (toggling modes, saving, rebuilding
// windows, opening the editors) and then brings the window up to date through ConfigWindow.
class ConfigActions {
public:
    virtual ~ConfigActions() = default;

    // Toggles mode m (0..5) of toolbar t: the one way every mode is changed.
    virtual void applyMode(std::uint8_t t, int m) = 0;
    // The picture on toolbar t's drag handle, for imgTBR. A toolbar that has no window
    // yet gets one first (hidden), so the picture is the one its window shows.
    virtual QPixmap handlePicture(std::uint8_t t) = 0;

    // The commands of the buttons beside the lists. t is the chosen toolbar, k the record
    // button number of the selected line (1-based), both read when the command runs.
    virtual void addButton(std::uint8_t t) = 0;
    virtual void editButton(std::uint8_t t, int k) = 0;
    virtual void deleteButton(std::uint8_t t, int k) = 0;
    virtual void addToolbar() = 0;
    virtual void editToolbar(std::uint8_t t) = 0;
    virtual void deleteToolbar(std::uint8_t t) = 0;
    // The user stepped the position bar: exchange buttons a and b of toolbar t (whole
    // records), save the toolbar file and rebuild its window. The window refills its
    // list and reselects the moved button itself. False when nothing was exchanged (the
    // file could not be saved, and the user was told).
    virtual bool exchangeButtons(std::uint8_t t, int a, int b) = 0;
};
