#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the toolbar windows need from the rest of the program: a look at the configuration
// window, and the commands a toolbar's menu and buttons start. App implements it, so the
// toolbar layer never includes the configuration window.
class ToolbarHost {
public:
    virtual ~ToolbarHost() = default;

    // True when the configuration window is visible and shows toolbar t.
    virtual bool configShows(std::uint8_t t) const = 0;
    // Ticks or unticks the configuration window's mode check box m, as the program's own
    // change (never taken for the user's click).
    virtual void setModeCheck(int m, bool on) = 0;
    // True while the button editor is open (windows keep their visibility then).
    virtual bool buttonEditorVisible() const = 0;
    // False while a drop on a handle cannot be taken (a modal editor is open, whose
    // fields it would change): the drag's cursor then says no.
    virtual bool takesHandleDrops() const { return true; }

    // Writes Toolbars.cfg (with live positions), showing any failure.
    virtual void saveConfig() = 0;
    // Commands from a toolbar window.
    virtual void showConfig(std::uint8_t t) = 0;
    virtual void showAbout() = 0;
    virtual void quit() = 0;
    // A click on record button k of toolbar t.
    virtual void buttonClicked(std::uint8_t t, int k) = 0;
    // Items dropped on record button k of toolbar t (k 0: on the handle), in the drop's
    // order: local files as paths, anything else as URIs (never empty).
    virtual void filesDropped(std::uint8_t t, int k, const std::vector<std::string>& items) = 0;
    // From a button's own menu: edit or delete record button k of toolbar t.
    virtual void editButtonRequested(std::uint8_t t, int k) = 0;
    virtual void deleteButtonRequested(std::uint8_t t, int k) = 0;
    // Record button k of toolbar t goes to the place of record button to, passing each
    // button shown between them (dragged along the bar, or moved from its menu).
    virtual void moveButtonRequested(std::uint8_t t, int k, int to) = 0;
};
