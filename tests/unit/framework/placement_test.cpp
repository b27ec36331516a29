// Where a dialog first appears: the rule for centring it, and the rectangle
// arithmetic that keeps it on its monitor's work area.
#include <gtest/gtest.h>

#include "framework/placement.h"

namespace fw {
namespace {

DialogTemplate At(short x, short y, DWORD style = DS_MODALFRAME) {
  DialogTemplate dialog;
  dialog.x = x;
  dialog.y = y;
  dialog.style = style;
  return dialog;
}

TEST(ShouldCentreDialog, OnlyUnplacedDialogsWithoutAnEnabledOwner) {
  EXPECT_TRUE(ShouldCentreDialog(At(0, 0), false));
  EXPECT_FALSE(ShouldCentreDialog(At(0, 0), true));
  EXPECT_FALSE(ShouldCentreDialog(At(1, 0), false));
  EXPECT_FALSE(ShouldCentreDialog(At(0, 1), false));
  EXPECT_FALSE(ShouldCentreDialog(At(0, 0, DS_MODALFRAME | DS_ABSALIGN), false));
  EXPECT_FALSE(ShouldCentreDialog(At(0, 0, DS_MODALFRAME | DS_CENTER), false));
  EXPECT_FALSE(ShouldCentreDialog(At(0, 0, DS_MODALFRAME | DS_CENTERMOUSE), false));
}

TEST(CentreWindowRect, CentresInTheWorkArea) {
  const CRect work(0, 0, 1280, 800);
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 262, 138), work, work), CRect(509, 331, 771, 469));
  // A work area that does not start at 0 (a panel on the left and top).
  const CRect panelled(64, 32, 1280, 800);
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 200, 100), panelled, panelled), CRect(572, 366, 772, 466));
}

TEST(CentreWindowRect, CentresOverTheOwner) {
  const CRect work(0, 0, 1280, 800);
  const CRect owner(509, 331, 771, 469);
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 100, 60), owner, work), CRect(590, 370, 690, 430));
  // Larger than the owner: still centred on it.
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 400, 200), owner, work), CRect(440, 300, 840, 500));
}

TEST(CentreWindowRect, StaysInsideTheWorkArea) {
  const CRect work(0, 0, 1280, 800);
  // An owner near the right and bottom edges pushes the box back in.
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 400, 200), CRect(1180, 740, 1280, 800), work),
            CRect(880, 600, 1280, 800));
  // And near the left and top edges.
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 400, 200), CRect(-50, -20, 50, 20), work),
            CRect(0, 0, 400, 200));
  // On a second monitor to the right.
  const CRect second(1280, 0, 2560, 1024);
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 400, 200), CRect(2500, 1000, 2560, 1024), second),
            CRect(2160, 824, 2560, 1024));
}

TEST(CentreWindowRect, TooLargeForTheWorkAreaKeepsTheTopLeftCornerVisible) {
  const CRect work(0, 0, 640, 480);
  EXPECT_EQ(CentreWindowRect(CRect(0, 0, 800, 600), work, work), CRect(0, 0, 800, 600));
}

}  // namespace
}  // namespace fw
