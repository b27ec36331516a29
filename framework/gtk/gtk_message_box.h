// A message box laid out as Windows lays one out (MessageBox): the icon,
// then the text, above a row of push buttons, in the dialog font and with a
// dialog template's margins; the text wraps anywhere, long names included,
// so the box stays inside the screen; the buttons take their access letters
// bare, as in any Windows dialog.
#pragma once

#include <string>

#include "framework/types.h"

namespace fw::gtk {

class DialogWindow;

// Runs the box modally over `owner` (nullptr: none) until it is answered;
// `type` and the result as Platform::ShowMessage's.
int RunMessageBox(DialogWindow* owner, const std::string& caption, const std::string& text,
                  UINT type);

}  // namespace fw::gtk
