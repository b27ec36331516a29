// Dialog units to pixels, against values worked out by hand.
#include <gtest/gtest.h>

#include "framework/dialog_units.h"

namespace fw {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(143, 6, 4), 215);  // 214.5
  EXPECT_EQ(MulDiv(63, 12, 8), 95);   // 94.5
  EXPECT_EQ(MulDiv(143, 7, 4), 250);  // 250.25
  EXPECT_EQ(MulDiv(29, 7, 4), 51);    // 50.75
  EXPECT_EQ(MulDiv(-143, 6, 4), -215);
  EXPECT_EQ(MulDiv(143, 6, -4), -215);
  EXPECT_EQ(MulDiv(-143, -6, 4), 215);
  EXPECT_EQ(MulDiv(5, 1, 3), 2);  // 1.67
  EXPECT_EQ(MulDiv(4, 1, 3), 1);  // 1.33
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  // The product is taken wide: no overflow before the division.
  EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
}

TEST(BaseUnits, AverageOf52LettersRoundedAsWindowsDoes) {
  // 312 px / 26 = 12, (12 + 1) / 2 = 6: an exact mean of 6 px.
  EXPECT_EQ(BaseUnitsFromFont(312, 12).x, 6);
  // 337 px is a mean of 6.48: still 6.
  EXPECT_EQ(BaseUnitsFromFont(337, 12).x, 6);
  // 338 px is a mean of exactly 6.5: rounds up to 7.
  EXPECT_EQ(BaseUnitsFromFont(338, 12).x, 7);
  EXPECT_EQ(BaseUnitsFromFont(338, 13).y, 13);
}

TEST(DialogRect, MainDialogAtTwoFontSizes) {
  const DialogBaseUnits small{6, 12};
  EXPECT_EQ(DialogXToPixels(143, small), 215);
  EXPECT_EQ(DialogYToPixels(63, small), 95);
  // OK: 104, 42, 32 x 14 dialog units.
  EXPECT_EQ(DialogRectToPixels(104, 42, 32, 14, small), CRect(156, 63, 204, 84));

  const DialogBaseUnits large{7, 13};
  EXPECT_EQ(DialogXToPixels(143, large), 250);
  EXPECT_EQ(DialogYToPixels(63, large), 102);
  // Cancel: 72, 42, 29 x 14; width and height convert on their own.
  EXPECT_EQ(DialogRectToPixels(72, 42, 29, 14, large), CRect(126, 68, 177, 91));
}

}  // namespace
}  // namespace fw
