// Controls grown to fit their texts, on the main dialog and the About box laid
// out with base units 6 x 12 (worked out by hand from their templates).
#include <gtest/gtest.h>

#include "framework/text_fit.h"

namespace fw {
namespace {

// Text lines in template order of position (top, middle, bottom), then
// ｷｬﾝｾﾙ and OK.
std::vector<FitControl> MainDialog() {
  return {{{11, 11, 196, 23}, 0, 0, false},
          {{11, 27, 194, 39}, 0, 0, false},
          {{11, 44, 134, 56}, 0, 0, false},
          {{108, 63, 152, 84}, 0, 0, true},
          {{156, 63, 204, 84}, 0, 0, true}};
}

std::vector<CRect> Rects(const std::vector<FitControl>& controls) {
  std::vector<CRect> rects;
  for (const FitControl& control : controls) {
    rects.push_back(control.rect);
  }
  return rects;
}

TEST(FitControlsToText, TextsThatFitMoveNothing) {
  std::vector<FitControl> controls = MainDialog();
  // Exactly as wide and as tall as the rectangle is still a fit.
  for (FitControl& control : controls) {
    control.neededWidth = control.rect.Width();
    control.neededHeight = control.isButton ? 15 : control.rect.Height();
  }
  const FittedDialog fitted = FitControlsToText(215, 95, controls);
  EXPECT_EQ(fitted.clientWidth, 215);
  EXPECT_EQ(fitted.clientHeight, 95);
  EXPECT_EQ(fitted.rects, Rects(controls));
}

TEST(FitControlsToText, ATextWithRoomBesideItGrowsAlone) {
  std::vector<FitControl> controls = MainDialog();
  controls[2].neededWidth = 124;  // one pixel more than it has
  const FittedDialog fitted = FitControlsToText(215, 95, controls);
  std::vector<CRect> expected = Rects(controls);
  expected[2].right = 135;
  EXPECT_EQ(fitted.rects, expected);
  EXPECT_EQ(fitted.clientWidth, 215);
  EXPECT_EQ(fitted.clientHeight, 95);
}

// The top line needs 200 px: it keeps the dialog's narrowest margin (11 px,
// right of OK), and the buttons keep their distance to the right edge.
TEST(FitControlsToText, AWideTextWidensTheDialogAndTheButtonsFollowTheRightEdge) {
  std::vector<FitControl> controls = MainDialog();
  controls[0].neededWidth = 200;
  const FittedDialog fitted = FitControlsToText(215, 95, controls);
  EXPECT_EQ(fitted.clientWidth, 222);
  EXPECT_EQ(fitted.clientHeight, 95);
  EXPECT_EQ(fitted.rects, (std::vector<CRect>{{11, 11, 211, 23},
                                              {11, 27, 194, 39},
                                              {11, 44, 134, 56},
                                              {115, 63, 159, 84},
                                              {163, 63, 211, 84}}));
}

TEST(FitControlsToText, ButtonsGrowTowardsTheLeftAndPushTheirNeighbours) {
  std::vector<FitControl> controls = MainDialog();
  controls[3].neededWidth = 50;
  EXPECT_EQ(FitControlsToText(215, 95, controls).rects[3], CRect(102, 63, 152, 84));

  controls[4].neededWidth = 58;
  const FittedDialog fitted = FitControlsToText(215, 95, controls);
  EXPECT_EQ(fitted.rects[3], CRect(92, 63, 142, 84));
  EXPECT_EQ(fitted.rects[4], CRect(146, 63, 204, 84));
  EXPECT_EQ(fitted.clientWidth, 215);
}

// Each line one pixel taller: the lines below move down, the buttons keep
// their gap below the lines and their distance to the bottom edge.
TEST(FitControlsToText, TallerTextsPushTheRowsBelowAndTheDialogGrowsDown) {
  std::vector<FitControl> controls = MainDialog();
  for (int i = 0; i < 3; ++i) {
    controls[i].neededHeight = 13;
  }
  const FittedDialog fitted = FitControlsToText(215, 95, controls);
  EXPECT_EQ(fitted.clientWidth, 215);
  EXPECT_EQ(fitted.clientHeight, 98);
  EXPECT_EQ(fitted.rects, (std::vector<CRect>{{11, 11, 196, 24},
                                              {11, 28, 194, 41},
                                              {11, 46, 134, 59},
                                              {108, 66, 152, 87},
                                              {156, 66, 204, 87}}));
}

// The About box's OK stands at the top right, beside the first line: it
// keeps its gap to that line and its place at the top.
TEST(FitControlsToText, AButtonBesideAGrownTextKeepsTheGapAndItsRow) {
  const std::vector<FitControl> controls = {{{17, 26, 47, 56}, 0, 0, false},
                                            {{60, 15, 239, 27}, 200, 0, false},
                                            {{60, 38, 239, 50}, 0, 0, false},
                                            {{267, 11, 342, 32}, 0, 0, true}};
  const FittedDialog fitted = FitControlsToText(353, 83, controls);
  EXPECT_EQ(fitted.clientWidth, 374);
  EXPECT_EQ(fitted.clientHeight, 83);
  EXPECT_EQ(fitted.rects,
            (std::vector<CRect>{
                {17, 26, 47, 56}, {60, 15, 260, 27}, {60, 38, 239, 50}, {288, 11, 363, 32}}));
}

}  // namespace
}  // namespace fw
