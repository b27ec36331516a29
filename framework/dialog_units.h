// Dialog units to pixels, computed the way the Windows dialog manager does
// from the dialog font's real metrics.
#pragma once

#include "framework/types.h"

namespace fw {

struct DialogBaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
};

// (a * b) / c rounded to nearest, halves away from zero, as Win32's MulDiv;
// -1 when c is 0.
int MulDiv(int a, int b, int c);

// `letters52Width` is the pixel width of "A..Za..z" in the dialog font,
// `fontHeight` the font's height in pixels. Windows takes the average as
// (width / 26 + 1) / 2, which rounds the per-letter mean to nearest.
DialogBaseUnits BaseUnitsFromFont(int letters52Width, int fontHeight);

inline constexpr const char* kBaseUnitSample =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

inline int DialogXToPixels(int dluX, DialogBaseUnits units) {
  return MulDiv(dluX, units.x, 4);
}
inline int DialogYToPixels(int dluY, DialogBaseUnits units) {
  return MulDiv(dluY, units.y, 8);
}

// A rectangle given as x, y, width, height in dialog units, in pixels. The
// size is converted on its own (not as right - left) so that equal widths
// stay equal wherever they sit, as on Windows.
CRect DialogRectToPixels(int x, int y, int cx, int cy, DialogBaseUnits units);

}  // namespace fw
