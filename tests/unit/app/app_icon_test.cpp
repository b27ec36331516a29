// The application icon as the GTK program loads it from its bundle: every size
// the desktop asks for, each a drawn stopwatch on a clear ground, and at 32
// pixels the very image the Windows build shows.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "framework/gtk/gtk_icons.h"
#include "res/resource.h"
#include "support/ico_slice.h"
#include "support/scratch_folder.h"

namespace fw::gtk {
namespace {

using Rgba = std::array<int, 4>;

Rgba PixelAt(GdkPixbuf* image, int x, int y) {
  const guchar* pixel = gdk_pixbuf_read_pixels(image) + y * gdk_pixbuf_get_rowstride(image) +
                        x * gdk_pixbuf_get_n_channels(image);
  return {pixel[0], pixel[1], pixel[2], gdk_pixbuf_get_has_alpha(image) ? pixel[3] : 255};
}

TEST(AppIcon, EverySizeFromSixteenToTwoHundredFiftySix) {
  const std::unique_ptr<IconHandle> icon = LoadIconResource(IDI_APP_ICON);
  ASSERT_NE(icon, nullptr);
  std::vector<std::pair<int, int>> sizes;
  for (const auto& image : icon->images) {
    GdkPixbuf* pixbuf = icon->ImageForSize(image.size);
    ASSERT_NE(pixbuf, nullptr) << image.resource;
    const int size = gdk_pixbuf_get_width(pixbuf);
    sizes.emplace_back(size, gdk_pixbuf_get_height(pixbuf));
    ASSERT_TRUE(gdk_pixbuf_get_has_alpha(pixbuf)) << size;
    // Clear corners, an opaque face, and from 24 pixels a dark hub at the
    // centre of the dial (19/32 of the way down, below the crown).
    EXPECT_EQ(PixelAt(pixbuf, 0, 0)[3], 0) << size;
    EXPECT_EQ(PixelAt(pixbuf, size - 1, size - 1)[3], 0) << size;
    const Rgba face = PixelAt(pixbuf, size / 4, size * 19 / 32);
    EXPECT_EQ(face[3], 255) << size;
    EXPECT_GT(face[0] + face[1] + face[2], 3 * 200) << size;
    if (size >= 24) {
      const Rgba hub = PixelAt(pixbuf, size / 2, size * 19 / 32);
      EXPECT_EQ(hub[3], 255) << size;
      EXPECT_LT(hub[0] + hub[1] + hub[2], 3 * 100) << size;
    }
  }
  EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{
                       {16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
}

TEST(AppIcon, ImageForSizeTakesTheExactThenTheNearestLargerThenTheLargest) {
  const std::unique_ptr<IconHandle> icon = LoadIconResource(IDI_APP_ICON);
  ASSERT_NE(icon, nullptr);
  const std::vector<std::pair<int, int>> asked = {{16, 16}, {48, 48},  {1, 16},    {17, 24},
                                                  {33, 48}, {96, 128}, {129, 256}, {1000, 256}};
  for (const auto& [size, expected] : asked) {
    GdkPixbuf* image = icon->ImageForSize(size);
    ASSERT_NE(image, nullptr) << size;
    EXPECT_EQ(gdk_pixbuf_get_width(image), expected) << "asked for " << size;
  }
}

TEST(AppIcon, AnIdWithoutAnIconLoadsNothing) {
  EXPECT_EQ(LoadIconResource(IDI_APP_ICON + 1), nullptr);
}

TEST(AppIcon, ThirtyTwoPixelsAreTheWindowsIconsImage) {
  // The .ico's 256-colour 32x32 image, the one Windows shows in Alt+Tab
  // and Explorer at 96 DPI.
  GdkPixbuf* windows =
      chronolist::test::IcoImage(chronolist::test::ReadBytes(CHRONOLIST_APP_ICON_ICO), 32);
  ASSERT_NE(windows, nullptr);
  const GObjectPtr<GdkPixbuf> windowsImage(windows);
  ASSERT_EQ(gdk_pixbuf_get_width(windows), 32);

  const std::unique_ptr<IconHandle> icon = LoadIconResource(IDI_APP_ICON);
  ASSERT_NE(icon, nullptr);
  GdkPixbuf* bundled = icon->ImageForSize(32);
  int differing = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const Rgba a = PixelAt(windows, x, y);
      const Rgba b = PixelAt(bundled, x, y);
      differing += a[3] != b[3] || (a[3] != 0 && a != b);
    }
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace fw::gtk
