#pragma once

#include "store/Messages.h"
#include "store/ToolbarSet.h"

#include <string>

// The two file formats. Files are bytes: nothing is decoded, lines are written with
// CR LF and read ending at CR LF, LF or CR. Every write is atomic (temporary file in the
// same folder, renamed over the old one), so a failed save leaves the old file whole.
//
// dataFolder is the folder holding Toolbars.cfg and Default.vtb.
std::string cfgPath(const std::string& dataFolder);
std::string defaultVtbPath(const std::string& dataFolder);

// Fills the set from Toolbars.cfg (writing the default file first when it is missing).
// The records hold data only; the caller keeps the windows that show them.
[[nodiscard]] StoreMessages ReadCfg(ToolbarSet& set, const std::string& dataFolder);
// Writes Tbrs(0..TbrLast). Positions are taken from the records: the caller copies the
// live window positions of moveable toolbars into Top/Left first.
[[nodiscard]] StoreMessages WriteCfg(const ToolbarSet& set, const std::string& dataFolder);

// The file a toolbar's buttons live in: its Path, taken from its Folder when relative.
std::string toolbarFilePath(const TbrRec& tbr);

// Reads the toolbar's buttons and marks the record read (BtnsRead), whatever the outcome.
[[nodiscard]] StoreMessages ReadBtns(TbrRec& tbr);
// Refuses (W_0004) a record whose buttons were never read, which would empty the file.
[[nodiscard]] StoreMessages WriteBtns(const TbrRec& tbr);
