// The .ico decoder: the real application icon, tiny hand-built icons of every
// supported depth with known pixels, hostile input, and the choice of image
// for a given size.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "framework/icon_image.h"
#include "res/app_icon_data.h"

namespace fw {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Pixel = std::array<std::uint8_t, 4>;

constexpr Pixel kClear = {0, 0, 0, 0};

Pixel At(const IconImage& image, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 4;
  return {image.rgba.at(at), image.rgba.at(at + 1), image.rgba.at(at + 2), image.rgba.at(at + 3)};
}

void Put16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) {
    b.push_back(static_cast<std::uint8_t>(v >> shift));
  }
}

Bytes InfoHeader(std::int32_t width, std::int32_t doubledHeight, std::uint16_t bitCount,
                 std::uint32_t colorsUsed = 0, std::uint32_t compression = 0) {
  Bytes b;
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(width));
  Put32(b, static_cast<std::uint32_t>(doubledHeight));
  Put16(b, 1);
  Put16(b, bitCount);
  Put32(b, compression);
  for (int i = 0; i < 3; ++i) {
    Put32(b, 0);  // image size, resolution
  }
  Put32(b, colorsUsed);
  Put32(b, 0);
  return b;
}

// A DIB built from top-down rows. `pixels` holds palette indices, or
// 0xAARRGGBB for 24 and 32 bpp; `transparent` marks AND-mask bits. Padding
// bytes are 0xEE so a decoder that ignores the 4-byte row rule reads garbage.
Bytes Dib(int bitCount, const std::vector<std::vector<std::uint32_t>>& pixels,
          const std::vector<std::vector<bool>>& transparent,
          const std::vector<std::uint32_t>& paletteRgb = {}, std::uint32_t colorsUsed = 0) {
  const int height = static_cast<int>(pixels.size());
  const int width = static_cast<int>(pixels[0].size());
  Bytes b = InfoHeader(width, height * 2, static_cast<std::uint16_t>(bitCount), colorsUsed);
  for (std::uint32_t rgb : paletteRgb) {
    Put32(b, rgb & 0xFFFFFF);  // stored as B, G, R, 0
  }
  const std::size_t xorStride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
  for (int y = height - 1; y >= 0; --y) {
    Bytes row(xorStride, 0xEE);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = pixels[y][x];
      switch (bitCount) {
        case 8:
          row[x] = static_cast<std::uint8_t>(v);
          break;
        case 24:
        case 32:
          for (int c = 0; c < bitCount / 8; ++c) {
            row[x * (bitCount / 8) + c] = static_cast<std::uint8_t>(v >> (8 * c));
          }
          break;
        default:
          ADD_FAILURE() << "Dib() builds 8, 24 and 32 bpp only";
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  const std::size_t andStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  for (int y = height - 1; y >= 0; --y) {
    Bytes row(andStride, 0);
    for (int x = 0; x < width; ++x) {
      if (transparent[y][x]) {
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

struct Entry {
  Bytes data;
  std::uint8_t size = 0;  // the directory's own width and height; the DIB is what counts
};

Bytes Ico(const std::vector<Entry>& entries) {
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<std::uint16_t>(entries.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
  for (const Entry& e : entries) {
    b.push_back(e.size);
    b.push_back(e.size);
    b.push_back(0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 0);
    Put32(b, static_cast<std::uint32_t>(e.data.size()));
    Put32(b, offset);
    offset += static_cast<std::uint32_t>(e.data.size());
  }
  for (const Entry& e : entries) {
    b.insert(b.end(), e.data.begin(), e.data.end());
  }
  return b;
}

Bytes Ico(const Bytes& dib) {
  return Ico(std::vector<Entry>{{dib, 0}});
}

// A valid 2x2, 24-bpp icon to corrupt in the failure tests.
Bytes SmallIco() {
  return Ico(
      Dib(24, {{0x112233, 0x445566}, {0x778899, 0xAABBCC}}, {{false, true}, {false, false}}));
}

void SetU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
}

constexpr std::size_t kDibAt = 6 + 16;  // the one DIB of a one-entry icon

// --- The application icon ----------------------------------------------------

TEST(AppIcon, EmbeddedBytesAreTheCommittedFile) {
  std::ifstream in(CHRONOLIST_APP_ICON_FILE, std::ios::binary);
  ASSERT_TRUE(in) << CHRONOLIST_APP_ICON_FILE;
  const Bytes file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto embedded = res::AppIconIco();
  ASSERT_EQ(embedded.size(), file.size());
  EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), file.begin()));
}

// The classic three first, then the 150 % sizes for Windows.
TEST(AppIcon, HoldsFiveImagesInOrder) {
  const auto images = DecodeIco(res::AppIconIco());
  ASSERT_EQ(images.size(), 5u);
  EXPECT_EQ(images[0].width, 32);
  EXPECT_EQ(images[0].height, 32);
  EXPECT_EQ(images[0].bitCount, 4);
  EXPECT_EQ(images[1].width, 16);
  EXPECT_EQ(images[1].height, 16);
  EXPECT_EQ(images[1].bitCount, 4);
  EXPECT_EQ(images[2].width, 32);
  EXPECT_EQ(images[2].height, 32);
  EXPECT_EQ(images[2].bitCount, 8);
  EXPECT_EQ(images[3].width, 48);
  EXPECT_EQ(images[3].height, 48);
  EXPECT_EQ(images[3].bitCount, 8);
  EXPECT_EQ(images[4].width, 24);
  EXPECT_EQ(images[4].height, 24);
  EXPECT_EQ(images[4].bitCount, 8);
  for (const IconImage& image : images) {
    EXPECT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width * image.height * 4));
  }
}

TEST(AppIcon, SixteenColourImagesUseTheStandardPalette) {
  const auto images = DecodeIco(res::AppIconIco());
  ASSERT_EQ(images.size(), 5u);
  const IconImage& big = images[0];
  EXPECT_EQ(At(big, 0, 0), kClear);
  EXPECT_EQ(At(big, 31, 31), kClear);
  EXPECT_EQ(At(big, 2, 19), kClear);                        // just left of the case
  EXPECT_EQ(At(big, 3, 19), (Pixel{0, 0, 0, 255}));         // its outline
  EXPECT_EQ(At(big, 15, 18), (Pixel{0, 0, 0, 255}));        // the hub, at the centre
  EXPECT_EQ(At(big, 16, 24), (Pixel{255, 255, 255, 255}));  // the face
  EXPECT_EQ(At(big, 22, 16), (Pixel{255, 0, 0, 255}));      // the second hand
  EXPECT_EQ(At(big, 15, 1), (Pixel{192, 192, 192, 255}));   // the crown

  const IconImage& small = images[1];
  EXPECT_EQ(At(small, 0, 0), kClear);
  EXPECT_EQ(At(small, 15, 15), kClear);
  EXPECT_EQ(At(small, 8, 15), (Pixel{0, 0, 0, 255}));
  EXPECT_EQ(At(small, 8, 11), (Pixel{255, 255, 255, 255}));
  EXPECT_EQ(At(small, 8, 8), (Pixel{255, 0, 0, 255}));
  EXPECT_EQ(At(small, 6, 8), (Pixel{0, 0, 0, 255}));
}

TEST(AppIcon, TwoHundredFiftySixColourImageIsShaded) {
  const auto images = DecodeIco(res::AppIconIco());
  ASSERT_EQ(images.size(), 5u);
  const IconImage& shaded = images[2];
  EXPECT_EQ(At(shaded, 0, 0), kClear);
  EXPECT_EQ(At(shaded, 15, 18), (Pixel{32, 36, 44, 255}));
  EXPECT_EQ(At(shaded, 16, 24), (Pixel{230, 232, 236, 255}));
  EXPECT_EQ(At(shaded, 8, 19), (Pixel{246, 248, 252, 255}));  // lighter towards the top left
  EXPECT_EQ(At(shaded, 22, 16), (Pixel{208, 24, 24, 255}));
  EXPECT_EQ(At(shaded, 15, 1), (Pixel{236, 244, 255, 255}));
}

TEST(AppIcon, BothLargeImagesShareOneSilhouette) {
  const auto images = DecodeIco(res::AppIconIco());
  ASSERT_EQ(images.size(), 5u);
  int opaque = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(At(images[0], x, y)[3], At(images[2], x, y)[3]) << x << "," << y;
      opaque += At(images[0], x, y)[3] == 255;
    }
  }
  // A round face of radius 13 and its crown: neither a blank nor a full square.
  EXPECT_GT(opaque, 500);
  EXPECT_LT(opaque, 700);
}

// --- Every supported depth, hand-built ---------------------------------------

TEST(DecodeIco, OneBitPerPixelWithOddWidth) {
  // 3x2: palette 0 = #102030, 1 = #F0E0D0. Top row 1 0 1 (last one masked),
  // bottom row 0 1 1. Rows bottom-up, each padded to 4 bytes; the unused bits
  // and the padding hold junk, which must not show.
  const Bytes dib = [] {
    Bytes b = InfoHeader(3, 4, 1);
    const Bytes rest = {
        0x30, 0x20, 0x10, 0x00, 0xD0, 0xE0, 0xF0, 0x00,  // palette, B G R 0
        0x7F, 0xFF, 0xFF, 0xFF,                          // XOR bottom row: 011, then junk
        0xBF, 0xFF, 0xFF, 0xFF,                          // XOR top row: 101
        0x1F, 0xFF, 0xFF, 0xFF,                          // AND bottom row: 000
        0x3F, 0xFF, 0xFF, 0xFF,                          // AND top row: 001
    };
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
  }();
  const auto images = DecodeIco(Ico(dib));
  ASSERT_EQ(images.size(), 1u);
  const IconImage& image = images[0];
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.bitCount, 1);
  EXPECT_EQ(At(image, 0, 0), (Pixel{0xF0, 0xE0, 0xD0, 255}));
  EXPECT_EQ(At(image, 1, 0), (Pixel{0x10, 0x20, 0x30, 255}));
  EXPECT_EQ(At(image, 2, 0), kClear);
  EXPECT_EQ(At(image, 0, 1), (Pixel{0x10, 0x20, 0x30, 255}));
  EXPECT_EQ(At(image, 1, 1), (Pixel{0xF0, 0xE0, 0xD0, 255}));
  EXPECT_EQ(At(image, 2, 1), (Pixel{0xF0, 0xE0, 0xD0, 255}));
}

TEST(DecodeIco, FourBitsPerPixelHighNibbleFirstAndShortPalette) {
  // 5x2 with a three-colour palette; index 15 is past it and reads as black.
  const Bytes dib = [] {
    Bytes b = InfoHeader(5, 4, 4, 3);
    const Bytes rest = {
        0x00, 0x00, 0xFF, 0x00,  // 0 red
        0x00, 0xFF, 0x00, 0x00,  // 1 green
        0xFF, 0x00, 0x00, 0x00,  // 2 blue
        0x22, 0x10, 0x0E, 0xEE,  // XOR bottom row: 2 2 1 0 0, junk nibble and byte
        0x01, 0x2F, 0x1E, 0xEE,  // XOR top row:    0 1 2 15 1
        0x08, 0xEE, 0xEE, 0xEE,  // AND bottom row: only x = 4 masked
        0x80, 0xEE, 0xEE, 0xEE,  // AND top row:    only x = 0 masked
    };
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
  }();
  const auto images = DecodeIco(Ico(dib));
  ASSERT_EQ(images.size(), 1u);
  const IconImage& image = images[0];
  EXPECT_EQ(image.width, 5);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.bitCount, 4);
  const std::vector<Pixel> top = {
      kClear, {0, 255, 0, 255}, {0, 0, 255, 255}, {0, 0, 0, 255}, {0, 255, 0, 255}};
  const std::vector<Pixel> bottom = {
      {0, 0, 255, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, kClear};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(At(image, x, 0), top[x]) << "x " << x;
    EXPECT_EQ(At(image, x, 1), bottom[x]) << "x " << x;
  }
}

TEST(DecodeIco, EightBitsPerPixelKeepsRowOrder) {
  std::vector<std::uint32_t> palette(256, 0);
  palette[7] = 0x123456;
  palette[200] = 0xABCDEF;
  palette[255] = 0x010203;
  const auto images = DecodeIco(Ico(Dib(8, {{7, 200}, {255, 7}, {200, 200}},
                                        {{false, false}, {false, true}, {false, false}}, palette)));
  ASSERT_EQ(images.size(), 1u);
  const IconImage& image = images[0];
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(image.bitCount, 8);
  EXPECT_EQ(At(image, 0, 0), (Pixel{0x12, 0x34, 0x56, 255}));
  EXPECT_EQ(At(image, 1, 0), (Pixel{0xAB, 0xCD, 0xEF, 255}));
  EXPECT_EQ(At(image, 0, 1), (Pixel{0x01, 0x02, 0x03, 255}));
  EXPECT_EQ(At(image, 1, 1), kClear);
  EXPECT_EQ(At(image, 0, 2), (Pixel{0xAB, 0xCD, 0xEF, 255}));
  EXPECT_EQ(At(image, 1, 2), (Pixel{0xAB, 0xCD, 0xEF, 255}));
}

TEST(DecodeIco, TwentyFourBitsPerPixelWithPaddedRows) {
  // Three pixels are nine bytes: each row carries three bytes of padding.
  const auto images =
      DecodeIco(Ico(Dib(24, {{0x010203, 0x040506, 0x070809}, {0xA0B0C0, 0, 0xFFFFFF}},
                        {{false, false, true}, {false, false, false}})));
  ASSERT_EQ(images.size(), 1u);
  const IconImage& image = images[0];
  EXPECT_EQ(image.bitCount, 24);
  EXPECT_EQ(At(image, 0, 0), (Pixel{1, 2, 3, 255}));
  EXPECT_EQ(At(image, 1, 0), (Pixel{4, 5, 6, 255}));
  EXPECT_EQ(At(image, 2, 0), kClear);
  EXPECT_EQ(At(image, 0, 1), (Pixel{0xA0, 0xB0, 0xC0, 255}));
  EXPECT_EQ(At(image, 1, 1), (Pixel{0, 0, 0, 255}));
  EXPECT_EQ(At(image, 2, 1), (Pixel{255, 255, 255, 255}));
}

TEST(DecodeIco, ThirtyTwoBitsUseTheirAlphaAndIgnoreTheMask) {
  // The mask claims everything is transparent; real alpha wins, verbatim.
  const auto images = DecodeIco(Ico(
      Dib(32, {{0x80102030, 0x00405060}, {0x40708090, 0x01A0B0C0}}, {{true, true}, {true, true}})));
  ASSERT_EQ(images.size(), 1u);
  const IconImage& image = images[0];
  EXPECT_EQ(image.bitCount, 32);
  EXPECT_EQ(At(image, 0, 0), (Pixel{0x10, 0x20, 0x30, 0x80}));
  EXPECT_EQ(At(image, 1, 0), (Pixel{0x40, 0x50, 0x60, 0x00}));
  EXPECT_EQ(At(image, 0, 1), (Pixel{0x70, 0x80, 0x90, 0x40}));
  EXPECT_EQ(At(image, 1, 1), (Pixel{0xA0, 0xB0, 0xC0, 0x01}));

  // A single faint pixel is enough to make the alpha channel real.
  const auto faint = DecodeIco(Ico(Dib(32, {{0x01000000, 0x00FFFFFF}}, {{true, false}})));
  ASSERT_EQ(faint.size(), 1u);
  EXPECT_EQ(At(faint[0], 0, 0), (Pixel{0, 0, 0, 0x01}));
  EXPECT_EQ(At(faint[0], 1, 0), (Pixel{255, 255, 255, 0}));
}

TEST(DecodeIco, ThirtyTwoBitsWithoutAlphaFallBackToTheMask) {
  const auto images = DecodeIco(Ico(Dib(32, {{0x00102030, 0x00405060}, {0x00708090, 0x00A0B0C0}},
                                        {{false, true}, {true, false}})));
  ASSERT_EQ(images.size(), 1u);
  const IconImage& image = images[0];
  EXPECT_EQ(At(image, 0, 0), (Pixel{0x10, 0x20, 0x30, 255}));
  EXPECT_EQ(At(image, 1, 0), kClear);
  EXPECT_EQ(At(image, 0, 1), kClear);
  EXPECT_EQ(At(image, 1, 1), (Pixel{0xA0, 0xB0, 0xC0, 255}));
}

TEST(DecodeIco, MaskRowsOfWideImagesSpanSeveralWords) {
  // 33 pixels need a two-word (8-byte) AND row; only the last pixel is masked.
  std::vector<std::uint32_t> row(33, 0x00FF00);
  std::vector<bool> mask(33, false);
  mask[32] = true;
  const auto images = DecodeIco(Ico(Dib(24, {row, row}, {mask, std::vector<bool>(33, false)})));
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(At(images[0], 31, 0), (Pixel{0, 255, 0, 255}));
  EXPECT_EQ(At(images[0], 32, 0), kClear);
  EXPECT_EQ(At(images[0], 32, 1), (Pixel{0, 255, 0, 255}));
}

TEST(DecodeIco, SidesUpTo256) {
  const auto square = [](int width, int height) {
    const std::vector<std::vector<std::uint32_t>> rows(height,
                                                       std::vector<std::uint32_t>(width, 0x0000FF));
    const std::vector<std::vector<bool>> mask(height, std::vector<bool>(width, false));
    return Ico(Dib(24, rows, mask));
  };
  const auto images = DecodeIco(square(256, 256));
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 256);
  EXPECT_EQ(images[0].height, 256);
  EXPECT_EQ(At(images[0], 255, 255), (Pixel{0, 0, 255, 255}));
  // Complete data does not make a larger image acceptable.
  EXPECT_TRUE(DecodeIco(square(257, 1)).empty());
  EXPECT_TRUE(DecodeIco(square(1, 257)).empty());
  EXPECT_EQ(DecodeIco(square(256, 1)).size(), 1u);
}

TEST(DecodeIco, PngEntriesAndBrokenEntriesAreSkippedOthersKept) {
  const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  Bytes broken = Dib(24, {{0x010101}}, {{false}});
  broken.resize(broken.size() - 1);  // the AND mask is one byte short
  const Bytes first = Dib(24, {{0x0A0B0C}}, {{false}});
  const Bytes last = Dib(32, {{0xFF0D0E0F, 0xFF000000}}, {{false, false}});
  const auto images = DecodeIco(Ico({{first, 1}, {png, 0}, {broken, 1}, {last, 2}}));
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].bitCount, 24);
  EXPECT_EQ(At(images[0], 0, 0), (Pixel{0x0A, 0x0B, 0x0C, 255}));
  EXPECT_EQ(images[1].bitCount, 32);
  EXPECT_EQ(images[1].width, 2);
  EXPECT_EQ(At(images[1], 0, 0), (Pixel{0x0D, 0x0E, 0x0F, 255}));
}

// --- Hostile input -----------------------------------------------------------

TEST(DecodeIcoMalformed, HeaderProblemsGiveNothing) {
  EXPECT_TRUE(DecodeIco({}).empty());
  EXPECT_TRUE(DecodeIco(Bytes{0, 0, 1, 0, 1}).empty());     // five bytes
  EXPECT_TRUE(DecodeIco(Bytes{0, 0, 1, 0, 0, 0}).empty());  // zero images
  EXPECT_TRUE(DecodeIco(Bytes{0, 0, 1, 0, 1, 0}).empty());  // directory missing
  Bytes ico = SmallIco();
  ASSERT_EQ(DecodeIco(ico).size(), 1u);
  ico[0] = 1;  // reserved must be zero
  EXPECT_TRUE(DecodeIco(ico).empty());
  ico = SmallIco();
  ico[2] = 2;  // a cursor, not an icon
  EXPECT_TRUE(DecodeIco(ico).empty());
  ico = SmallIco();
  ico[4] = 2;  // claims a second entry the directory does not hold room for
  ico.resize(6 + 16 + 8);
  EXPECT_TRUE(DecodeIco(ico).empty());
}

TEST(DecodeIcoMalformed, TooManyEntriesGiveNothing) {
  const Bytes dib = Dib(24, {{0x010203}}, {{false}});
  std::vector<Entry> entries(kMaxIconImages, Entry{dib, 1});
  EXPECT_EQ(DecodeIco(Ico(entries)).size(), static_cast<std::size_t>(kMaxIconImages));
  entries.push_back(Entry{dib, 1});
  EXPECT_TRUE(DecodeIco(Ico(entries)).empty());
}

TEST(DecodeIcoMalformed, EntriesOutsideTheFileAreSkipped) {
  const Bytes good = SmallIco();
  constexpr std::size_t kSizeAt = 6 + 8;
  constexpr std::size_t kOffsetAt = 6 + 12;

  Bytes ico = good;
  SetU32(ico, kSizeAt,
         static_cast<std::uint32_t>(ico.size() - kDibAt + 1));  // one byte past the end
  EXPECT_TRUE(DecodeIco(ico).empty());

  ico = good;
  SetU32(ico, kOffsetAt, static_cast<std::uint32_t>(ico.size() + 100));
  EXPECT_TRUE(DecodeIco(ico).empty());

  ico = good;  // offset + size wraps round 32 bits
  SetU32(ico, kOffsetAt, 0xFFFFFFF0u);
  SetU32(ico, kSizeAt, 0x20);
  EXPECT_TRUE(DecodeIco(ico).empty());

  ico = good;
  SetU32(ico, kSizeAt, 0xFFFFFFFFu);
  EXPECT_TRUE(DecodeIco(ico).empty());

  ico = good;  // pointing into the directory itself
  SetU32(ico, kOffsetAt, 0);
  EXPECT_TRUE(DecodeIco(ico).empty());
}

TEST(DecodeIcoMalformed, ImpossibleBitmapHeadersAreSkipped) {
  struct Case {
    const char* what;
    std::size_t at;  // offset in the BITMAPINFOHEADER
    std::uint32_t value;
    bool is16 = false;
  };
  const Case cases[] = {
      {"header size below 40", 0, 39},
      {"header size past the entry", 0, 4096},
      {"zero width", 4, 0},
      {"negative width", 4, 0xFFFFFFFEu},
      {"width 257", 4, 257},
      {"absurd width", 4, 0x7FFFFFFFu},
      {"zero height", 8, 0},
      {"negative height", 8, 0xFFFFFFFCu},
      {"odd doubled height", 8, 3},
      {"height 257", 8, 514},
      {"absurd height", 8, 0x7FFFFFFEu},
      {"two bits per pixel", 14, 2, true},
      {"sixteen bits per pixel", 14, 16, true},
      {"zero bits per pixel", 14, 0, true},
      {"RLE8 compression", 16, 1},
      {"bit-field compression", 16, 3},
  };
  for (const Case& c : cases) {
    Bytes ico = SmallIco();
    if (c.is16) {
      ico[kDibAt + c.at] = static_cast<std::uint8_t>(c.value);
      ico[kDibAt + c.at + 1] = static_cast<std::uint8_t>(c.value >> 8);
    } else {
      SetU32(ico, kDibAt + c.at, c.value);
    }
    EXPECT_TRUE(DecodeIco(ico).empty()) << c.what;
  }
}

TEST(DecodeIcoMalformed, PaletteLargerThanTheDepthAllows) {
  // Complete data, palette and all, for one colour more than the depth holds.
  const auto withPalette = [](std::uint16_t bitCount, std::uint32_t colours) {
    Bytes b = InfoHeader(1, 2, bitCount, colours);
    b.resize(b.size() + colours * 4 + 4 + 4, 0);  // palette, one XOR row, one AND row
    return Ico(b);
  };
  EXPECT_EQ(DecodeIco(withPalette(1, 2)).size(), 1u);
  EXPECT_TRUE(DecodeIco(withPalette(1, 3)).empty());
  EXPECT_EQ(DecodeIco(withPalette(4, 16)).size(), 1u);
  EXPECT_TRUE(DecodeIco(withPalette(4, 17)).empty());
  EXPECT_EQ(DecodeIco(withPalette(8, 256)).size(), 1u);
  EXPECT_TRUE(DecodeIco(withPalette(8, 257)).empty());
}

TEST(DecodeIcoMalformed, LargeClaimsOnSmallDataAllocateNothingAndGiveNothing) {
  // 256x256 at 32 bpp wants 320 KiB of pixels and mask; the entry holds 40 bytes.
  const Bytes dib = InfoHeader(256, 512, 32);
  EXPECT_TRUE(DecodeIco(Ico(dib)).empty());
}

TEST(DecodeIcoMalformed, EveryTruncationIsRejected) {
  const Bytes good = SmallIco();
  ASSERT_EQ(DecodeIco(good).size(), 1u);
  for (std::size_t length = 0; length < good.size(); ++length) {
    const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_TRUE(DecodeIco(cut).empty()) << "length " << length;
  }
}

TEST(DecodeIcoMalformed, CorruptedBytesNeverBreakTheInvariants) {
  // Flip bytes of the real icon with a fixed generator: whatever decodes must
  // still be a well-formed image (run under the sanitizers to check reads).
  const auto source = res::AppIconIco();
  const Bytes original(source.begin(), source.end());
  std::uint32_t state = 12345;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes = original;
    const int flips = 1 + static_cast<int>(next() % 4);
    for (int i = 0; i < flips; ++i) {
      // Mostly the headers, where a flip changes the structure.
      const std::size_t limit = next() % 2 == 0 ? 6 + 3 * 16 + 40 : bytes.size();
      bytes[next() % limit] = static_cast<std::uint8_t>(next());
    }
    for (const IconImage& image : DecodeIco(bytes)) {
      ASSERT_GE(image.width, 1);
      ASSERT_LE(image.width, kMaxIconSide);
      ASSERT_GE(image.height, 1);
      ASSERT_LE(image.height, kMaxIconSide);
      ASSERT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width * image.height * 4));
    }
  }
}

// --- Choosing an image -------------------------------------------------------

IconImage Image(int width, int height, int bitCount) {
  return IconImage{width, height, bitCount, {}};
}

TEST(PickIconImage, NothingToPickFrom) {
  EXPECT_EQ(PickIconImage({}, 32), nullptr);
}

TEST(PickIconImage, ExactSizeWithTheMostColours) {
  const std::vector<IconImage> images = {Image(32, 32, 4), Image(16, 16, 32), Image(32, 32, 8),
                                         Image(48, 48, 32), Image(32, 32, 1)};
  EXPECT_EQ(PickIconImage(images, 32), &images[2]);
  EXPECT_EQ(PickIconImage(images, 16), &images[1]);
  EXPECT_EQ(PickIconImage(images, 48), &images[3]);
}

TEST(PickIconImage, EqualCandidatesKeepFileOrder) {
  const std::vector<IconImage> images = {Image(16, 16, 8), Image(32, 32, 8), Image(32, 32, 8)};
  EXPECT_EQ(PickIconImage(images, 32), &images[1]);
}

TEST(PickIconImage, NearestLargerWhenNoExactSize) {
  const std::vector<IconImage> images = {Image(64, 64, 32), Image(16, 16, 32), Image(48, 48, 4),
                                         Image(48, 48, 8), Image(20, 20, 32)};
  EXPECT_EQ(PickIconImage(images, 24), &images[3]);
  EXPECT_EQ(PickIconImage(images, 18), &images[4]);
  EXPECT_EQ(PickIconImage(images, 50), &images[0]);
  EXPECT_EQ(PickIconImage(images, 1), &images[1]);
}

TEST(PickIconImage, LargestWhenAllAreSmaller) {
  const std::vector<IconImage> images = {Image(16, 16, 8), Image(32, 32, 4), Image(24, 24, 32),
                                         Image(32, 32, 8)};
  EXPECT_EQ(PickIconImage(images, 48), &images[3]);
  EXPECT_EQ(PickIconImage(images, 256), &images[3]);
}

TEST(PickIconImage, AnImagesSizeIsItsLargerSide) {
  const std::vector<IconImage> images = {Image(16, 32, 8), Image(24, 24, 8)};
  EXPECT_EQ(PickIconImage(images, 32), &images[0]);
  EXPECT_EQ(PickIconImage(images, 20), &images[1]);
}

TEST(PickIconImage, AppIconSizes) {
  const auto images = DecodeIco(res::AppIconIco());
  ASSERT_EQ(images.size(), 5u);
  EXPECT_EQ(PickIconImage(images, 16), &images[1]);
  EXPECT_EQ(PickIconImage(images, 32), &images[2]);
  EXPECT_EQ(PickIconImage(images, 24), &images[4]);
  EXPECT_EQ(PickIconImage(images, 48), &images[3]);
  EXPECT_EQ(PickIconImage(images, 8), &images[1]);
}

}  // namespace
}  // namespace fw
