// Where a dialog's text does not fit the rectangle its template gives it (a
// larger DPI, another font), the control grows and the dialog with it, so
// that nothing is cut. Each backend measures; this decides the rectangles.
#pragma once

#include <vector>

#include "framework/types.h"

namespace fw {

struct FitControl {
  CRect rect;            // from the template, in client pixels
  int neededWidth = 0;   // what its text needs, the control's own frame included
  int neededHeight = 0;  // 0: nothing to fit that way
  bool isButton = false;
};

struct FittedDialog {
  int clientWidth = 0;
  int clientHeight = 0;
  std::vector<CRect> rects;  // in the order of the controls given
};

// A control grows to the right and down. What stands beside or below a grown
// control moves along; a button in the right (lower) half of the dialog keeps
// its distance to the right (bottom) edge, as do the buttons beside it. The
// dialog grows only as far as it must to keep its narrowest margin. Where
// every text fits, every rectangle stays as it is.
FittedDialog FitControlsToText(int clientWidth, int clientHeight,
                               const std::vector<FitControl>& controls);

}  // namespace fw
