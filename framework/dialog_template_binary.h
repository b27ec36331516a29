// A dialog template in the binary layout the Windows dialog manager reads
// (DLGTEMPLATEEX for an extended template, else the classic DLGTEMPLATE),
// built from the template data so the platforms can never drift apart.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/dialog_template.h"

namespace fw {

// Little-endian, UTF-16 strings, items aligned to four bytes from the start
// of the buffer (which std::vector's allocation keeps DWORD-aligned).
std::vector<std::uint8_t> BuildDialogTemplateBinary(const DialogTemplate& dialog);

}  // namespace fw
