// The dialog font on Linux: which installed family stands in for the
// template's face (found through fontconfig), and its base units as this
// screen renders it, from which every dialog unit becomes pixels.
#pragma once

#include <pango/pango.h>

#include <string>

#include "framework/dialog_units.h"

namespace fw::gtk {

// The dialog font's family actually used: the template's face when the
// system has it, else the first fallback it has, by any of its names.
std::string ResolveDialogFontFamily(const std::string& templateFace);
// Base units of `family` at `pointSize` as this screen renders it.
DialogBaseUnits MeasureBaseUnits(PangoContext* context, const std::string& family, int pointSize);

}  // namespace fw::gtk
