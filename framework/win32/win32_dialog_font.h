// The Win32 backend's choice of a dialog's face: the template's own, unless
// the face the system resolves it to has no glyphs for the dialog's texts.
#pragma once

#include <string>

#include "framework/dialog_template.h"

namespace fw::win32 {

// The face to give the dialog manager for `dialogTemplate`. A Windows or a
// Wine prefix without the template's Japanese face substitutes one of its
// own, which may lack every Japanese glyph (Wine in the C locale picks
// DejaVu Sans): then the first installed face of the shared fallback list
// (framework/dialog_font.h) that has them all.
std::string DialogFace(const DialogTemplate& dialogTemplate);

}  // namespace fw::win32
