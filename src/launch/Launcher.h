#pragma once

#include "platform/Services.h"
#include "store/Result.h"
#include "store/ToolbarSet.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What a click on a toolbar button and a drop of files on one do: launch the button's
// target, show or hide the toolbar a recall button names, start a program with each
// dropped file or copy the files into a folder. Failures end in the program's own
// messages, whose fixed first line is followed by the reason; the caller only maps the
// control's button to the record button k (1-based).
class Launcher {
public:
    // Toggles mode m of toolbar t; the toolbar windows' ApplyMode.
    using ApplyModeFn = std::function<void(std::uint8_t t, int m)>;

    Launcher(ToolbarSet& set, Services services, ApplyModeFn applyMode);

    // A click on record button k of toolbar t. Asks Retry/Cancel while the activation
    // fails; Retry runs the whole activation again.
    void buttonClicked(std::uint8_t t, int k);
    // What a click does once the activation failed with reason: asks Retry/Cancel while
    // it fails.
    void startFailed(std::uint8_t t, int k, std::string reason);
    // Launches the button's target or carries out its recall.
    Result<void> activate(std::uint8_t t, int k);

    // Items dropped on record button k of toolbar t (local paths or URIs), handed over
    // one by one. The first failure stops the drop and is reported once.
    void filesDropped(std::uint8_t t, int k, const std::vector<std::string>& items);
    // Starts the button's program with file as its last argument, or copies file into
    // the button's folder (Kind 3).
    Result<void> startWithFile(std::uint8_t t, int k, const std::string& file);

private:
    const BtnRec* button(std::uint8_t t, int k) const;
    Result<void> launch(const BtnRec& b);
    Result<void> recall(const BtnRec& b);

    ToolbarSet& m_set;
    Services m_services;
    ApplyModeFn m_applyMode;
};
