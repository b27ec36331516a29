// Where a dialog goes when it first appears: the framework's centring rule,
// as plain functions over rectangles so they can be tested without a screen.
#pragma once

#include "framework/dialog_template.h"
#include "framework/types.h"

namespace fw {

// A modal dialog is centred after OnInitDialog when its template stands at
// 0,0, asks for no placement of its own (DS_ABSALIGN, DS_CENTER,
// DS_CENTERMOUSE) and has no enabled owner.
bool ShouldCentreDialog(const DialogTemplate& dialog, bool hasEnabledOwner);

// The window's new top-left corner: centred over `over` (the owner's window
// rectangle, or the work area when there is no owner), then moved, if need
// be, to lie wholly inside `workArea` (left and top edges win when the
// window is larger than the work area).
CRect CentreWindowRect(const CRect& window, const CRect& over, const CRect& workArea);

}  // namespace fw
