// Controls grown to fit their texts, on the main dialog laid out with base
// units 6 x 12 (215 x 95 px; the lines top to bottom, ｷｬﾝｾﾙ, OK).
#include <gtest/gtest.h>

#include "framework/text_fit.h"

namespace fw {
namespace {

const std::vector<CRect> kLaidOut = {{11, 11, 196, 23},
                                     {11, 27, 194, 39},
                                     {11, 44, 134, 56},
                                     {108, 63, 152, 84},
                                     {156, 63, 204, 84}};

FittedDialog Fit(std::size_t index, int width, int height) {
  std::vector<FitControl> controls;
  for (std::size_t i = 0; i < kLaidOut.size(); ++i) {
    controls.push_back({kLaidOut[i], i == index ? width : 0, i == index ? height : 0, i >= 3});
  }
  return FitControlsToText(215, 95, controls);
}

// Past the narrowest margin (11 px, right of OK) the dialog grows; buttons
// keep to the right and bottom edges and grow to the left.
TEST(FitControlsToText, GrowsWhatMustGrowAndKeepsTheButtonsToTheRightAndBottomEdges) {
  EXPECT_EQ(Fit(2, 123, 12).rects, kLaidOut);
  EXPECT_EQ(Fit(2, 124, 12).rects[2], CRect(11, 44, 135, 56));
  const FittedDialog wide = Fit(0, 200, 12);
  EXPECT_EQ(wide.clientWidth, 222);
  EXPECT_EQ(
      wide.rects,
      (std::vector<CRect>{
          {11, 11, 211, 23}, kLaidOut[1], kLaidOut[2], {115, 63, 159, 84}, {163, 63, 211, 84}}));
  EXPECT_EQ(Fit(4, 58, 15).rects[3], CRect(98, 63, 142, 84));
  const FittedDialog tall = Fit(0, 0, 14);
  EXPECT_EQ(tall.clientHeight, 97);
  EXPECT_EQ(tall.rects, (std::vector<CRect>{{11, 11, 196, 25},
                                            {11, 29, 194, 41},
                                            {11, 46, 134, 58},
                                            {108, 65, 152, 86},
                                            {156, 65, 204, 86}}));
}

}  // namespace
}  // namespace fw
