#pragma once

#include "store/TbrRec.h"

// Whether the button editor appends a new button or overwrites the chosen one; the
// caption ("Add Button", "Edit Button") follows from it.
enum class ButtonPurpose { Add, Edit };

// Where the button editor's OK goes. The editor composes the button; the program puts it
// into the toolbar chosen in the configuration window at that moment (and, to edit, over
// the button selected there), saves the toolbar's file and shows the result.
class ButtonEditorHost {
public:
    virtual ~ButtonEditorHost() = default;
    // True when the button was stored; false when it was refused or could not be saved,
    // after the user was told why: the editor then stays open with its boxes as they are.
    virtual bool storeButton(ButtonPurpose purpose, const BtnRec& button) = 0;
};
