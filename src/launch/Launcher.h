#pragma once

#include "platform/Services.h"
#include "platform/Shell.h"
#include "store/ToolbarSet.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>

// What a click on a toolbar button and a drop of files on one do: launch the button's
// target, show or hide the toolbar a recall button names, start a program with each
// dropped file or copy the files into a folder. Failures end in the program's own
// messages; the caller only maps the control's button to the record button k (1-based).
class Launcher {
public:
    // Toggles mode m of toolbar t; the toolbar windows' ApplyMode.
    using ApplyModeFn = std::function<void(std::uint8_t t, int m)>;

    Launcher(ToolbarSet& set, Services services, ApplyModeFn applyMode);

    // A click on record button k of toolbar i. Asks Retry/Cancel while the activation
    // fails; Retry runs the whole activation again.
    void TBar_ButtonClick(std::uint8_t i, int k);
    // Launches the button's target or carries out its recall; true when that happened.
    bool ActivateBtn(std::uint8_t i, int k);

    // Files dropped on record button k of toolbar i, handed over one by one. The first
    // failure stops the drop and is reported once.
    void TBar_OLEDragDrop(std::uint8_t i, int k, const QStringList& files);
    // Starts the button's program with file as its last argument, or copies file into
    // the button's folder (Kind 3).
    [[nodiscard]] Shell::Result ExecuteWithFile(std::uint8_t i, int k, const std::string& file);

private:
    const BtnRec* button(std::uint8_t i, int k) const;
    bool launch(const BtnRec& b);
    bool recall(const BtnRec& b);

    ToolbarSet& m_set;
    Services m_services;
    ApplyModeFn m_applyMode;
};
