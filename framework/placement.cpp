#include "framework/placement.h"

namespace fw {

bool ShouldCentreDialog(const DialogTemplate& dialog, bool hasEnabledOwner) {
  const bool placedByTemplate = (dialog.style & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE)) != 0;
  return dialog.x == 0 && dialog.y == 0 && !placedByTemplate && !hasEnabledOwner;
}

CRect CentreWindowRect(const CRect& window, const CRect& over, const CRect& workArea) {
  const int width = window.Width();
  const int height = window.Height();
  int left = (over.left + over.right) / 2 - width / 2;
  int top = (over.top + over.bottom) / 2 - height / 2;

  if (left + width > workArea.right) {
    left = workArea.right - width;
  }
  if (left < workArea.left) {
    left = workArea.left;
  }
  if (top + height > workArea.bottom) {
    top = workArea.bottom - height;
  }
  if (top < workArea.top) {
    top = workArea.top;
  }
  return {left, top, left + width, top + height};
}

}  // namespace fw
