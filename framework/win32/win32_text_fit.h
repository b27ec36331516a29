// The Win32 backend's part in fitting a dialog to its texts: each static text
// and button measured in the dialog's font as the dialog manager made it.
#pragma once

#include "framework/dialog_template.h"

struct HWND__;

namespace fw::win32 {

// After the dialog manager has created `dialog` from `dialogTemplate` and
// before it is centred: grows the controls whose texts it would cut, and the
// dialog with them (framework/text_fit.h).
void FitDialogToTexts(HWND__* dialog, const DialogTemplate& dialogTemplate);

}  // namespace fw::win32
