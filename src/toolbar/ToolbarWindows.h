#pragma once

#include "platform/Services.h"
#include "store/ToolbarSet.h"

#include <QPixmap>

#include <chrono>
#include <cstdint>
#include <string>

class FTb;
class QWidget;
class ToolbarHost;

// Builds the toolbar windows from their records and applies their display modes. One
// instance serves the whole set; each window reaches it for what its handlers start.
// Toolbar indexes t name records of the set; an index without a record throws
// std::out_of_range, which the window handlers drop.
class ToolbarWindows {
public:
    ToolbarWindows(ToolbarSet& set, Services services, ToolbarHost& host);
    ~ToolbarWindows();
    ToolbarWindows(const ToolbarWindows&) = delete;
    ToolbarWindows& operator=(const ToolbarWindows&) = delete;

    ToolbarSet& set() { return m_set; }
    ToolbarHost& host() { return m_host; }
    const Services& services() const { return m_services; }

    // Toolbar t's window; made hidden, with its Tag, when the record has none yet. It
    // may not be built yet: see ready().
    FTb& form(std::uint8_t t);
    // Toolbar t's window, built completely (pictures, buttons, size, fold, visibility as
    // the record says) if it was not yet. A hidden toolbar is built the first time
    // something needs it, so a large set starts with only its visible toolbars built.
    FTb& ready(std::uint8_t t);
    // Sets every window's Tag to its record's index again (after records were moved).
    void retagForms();
    // Copies the live window positions of moveable toolbars into their records' Top
    // and Left; the configuration file is written from the records. A toolbar whose
    // window was never placed keeps the record's place.
    void takePositions();

    // The built-in file and folder pictures every image list starts with, drawn once.
    const QPixmap& builtinFilePicture() const { return m_filePicture; }
    const QPixmap& builtinFolderPicture() const { return m_folderPicture; }

    // Draws icon index (1-based; 0 none) of file into the host's imgTransfer.
    bool DrawFileIcon(const std::string& file, std::int16_t index);
    void BuildImageList(std::uint8_t t);
    void BuildButtons(std::uint8_t t);
    void PlaceWindow(std::uint8_t t);
    void SizeWindow(std::uint8_t t);
    // Builds the window from the record (BuildImageList, BuildButtons, RefreshTbrWindow).
    void RebuildTbr(std::uint8_t t);
    void RefreshTbrWindow(std::uint8_t t);
    void ApplyMode(std::uint8_t t, std::uint8_t m);
    void ApplyCaptionStyle(std::uint8_t t);
    void ApplyCaptions(std::uint8_t t);
    // Ticks the popup menu from the record, if the window has made its menu yet (a menu
    // made later reads the record itself).
    void SyncModeMenu(std::uint8_t t);
    // direction -1 folds the window down to its handle, 1 unfolds it; others do nothing.
    // A window nobody sees folds at once to the size the steps would end in.
    void FoldTbr(std::uint8_t t, int direction);

    // How a fold is paced: at most perStep between two steps, and all pauses of one fold
    // together at most total, however long the bar. Zero pauses let pending events run
    // and go straight on (the default when drawing off screen, as tests do).
    void setFoldPace(std::chrono::milliseconds perStep, std::chrono::milliseconds total);

private:
    // Toolbar t's window, counted as built from now on: each build step marks it, so a
    // fold within the build does not start the build again.
    FTb& building(std::uint8_t t);
    void foldAway(FTb& form, bool vertical);
    void unfold(std::uint8_t t, FTb& form, bool vertical);

    ToolbarSet& m_set;
    Services m_services;
    ToolbarHost& m_host;
    std::chrono::milliseconds m_stepPause;
    std::chrono::milliseconds m_foldBudget;
    QPixmap m_filePicture;
    QPixmap m_folderPicture;
};

// Keeps the window above all windows that are not topmost, or lets it be stacked
// normally; position, size and visibility stay as they are. True when a native window
// took the change (a window not yet shown takes it when it is first shown).
bool SetTopmost(QWidget& window, bool on);
