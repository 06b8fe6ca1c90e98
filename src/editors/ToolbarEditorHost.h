#pragma once

#include "editors/ToolbarFields.h"

#include <cstdint>

// Whether the toolbar editor adds a toolbar to the set or renames an existing one and
// changes its icon; the caption ("Add Toolbar", "Edit Toolbar") follows from it.
enum class ToolbarPurpose { Add, Edit };

// Where the toolbar editor's OK goes. The editor checks its fields against the set; the
// program carries the change out, saves Toolbars.cfg and shows the result.
class ToolbarEditorHost {
public:
    virtual ~ToolbarEditorHost() = default;
    // Adds a toolbar, or changes toolbar t. True when the editor is done with; false
    // when the change was refused, after the user was told why: the editor then stays
    // open with its fields as they are.
    virtual bool storeToolbar(ToolbarPurpose purpose, std::uint8_t t, const ToolbarFields& fields) = 0;
};
