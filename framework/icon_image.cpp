#include "framework/icon_image.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <optional>
#include <utility>

namespace fw {
namespace {

constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconDirEntrySize = 16;
constexpr std::size_t kBitmapInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Little-endian reads; callers have checked the range.
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

// Bytes per row of a DIB: rows are padded to 32 bits.
std::size_t Stride(std::size_t width, std::size_t bitCount) {
  return (width * bitCount + 31) / 32 * 4;
}

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

// One entry's bytes: a BITMAPINFOHEADER, the palette, the XOR bitmap and the
// AND mask, rows bottom-up. The image is half the stored height: the two
// bitmaps are counted together.
std::optional<IconImage> DecodeDib(std::span<const std::uint8_t> dib) {
  if (dib.size() < kBitmapInfoHeaderSize) {
    return std::nullopt;
  }
  const std::uint32_t headerSize = U32(dib, 0);
  const std::int32_t width = I32(dib, 4);
  const std::int32_t doubledHeight = I32(dib, 8);
  const std::uint16_t bitCount = U16(dib, 14);
  const std::uint32_t compression = U32(dib, 16);
  const std::uint32_t colorsUsed = U32(dib, 32);

  // Later header versions (V4, V5) only add fields after these. The upper
  // bound keeps the offset sums below from wrapping where size_t is 32 bits.
  if (headerSize < kBitmapInfoHeaderSize || headerSize > dib.size()) {
    return std::nullopt;
  }
  // Icons are always stored bottom-up, so a negative height is malformed too.
  if (width <= 0 || width > kMaxIconSide || doubledHeight <= 0 || doubledHeight % 2 != 0 ||
      doubledHeight / 2 > kMaxIconSide) {
    return std::nullopt;
  }
  if (compression != kBiRgb) {
    return std::nullopt;
  }
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
    return std::nullopt;
  }
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t h = static_cast<std::size_t>(doubledHeight / 2);

  std::size_t paletteSize = 0;
  if (bitCount <= 8) {
    const std::size_t full = std::size_t{1} << bitCount;
    if (colorsUsed > full) {
      return std::nullopt;
    }
    paletteSize = colorsUsed == 0 ? full : colorsUsed;
  }
  const std::size_t paletteAt = headerSize;
  const std::size_t xorAt = paletteAt + paletteSize * 4;
  const std::size_t xorStride = Stride(w, bitCount);
  const std::size_t andAt = xorAt + xorStride * h;
  const std::size_t andStride = Stride(w, 1);
  // Every term is bounded by the checks above, so this cannot overflow.
  if (andAt + andStride * h > dib.size()) {
    return std::nullopt;
  }

  std::array<Rgba, 256> palette{};  // indices past a short palette read as black
  for (std::size_t i = 0; i < paletteSize; ++i) {
    const std::size_t at = paletteAt + i * 4;
    palette[i] = Rgba{dib[at + 2], dib[at + 1], dib[at], 255};
  }

  IconImage image;
  image.width = width;
  image.height = static_cast<int>(h);
  image.bitCount = bitCount;
  image.rgba.resize(w * h * 4);

  bool anyAlpha = false;
  for (std::size_t y = 0; y < h; ++y) {
    const std::size_t row = xorAt + (h - 1 - y) * xorStride;
    for (std::size_t x = 0; x < w; ++x) {
      Rgba p;
      switch (bitCount) {
        case 1:
          p = palette[(dib[row + x / 8] >> (7 - x % 8)) & 1];
          break;
        case 4:
          p = palette[(dib[row + x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F];
          break;
        case 8:
          p = palette[dib[row + x]];
          break;
        case 24:
          p = Rgba{dib[row + x * 3 + 2], dib[row + x * 3 + 1], dib[row + x * 3], 255};
          break;
        default:  // 32
          p = Rgba{dib[row + x * 4 + 2], dib[row + x * 4 + 1], dib[row + x * 4],
                   dib[row + x * 4 + 3]};
          anyAlpha = anyAlpha || p.a != 0;
          break;
      }
      std::uint8_t* out = &image.rgba[(y * w + x) * 4];
      out[0] = p.r;
      out[1] = p.g;
      out[2] = p.b;
      out[3] = p.a;
    }
  }

  // Old 32-bpp icons leave the alpha bytes at zero and rely on the mask;
  // newer ones carry real alpha and the mask is only for old systems.
  if (bitCount == 32 && anyAlpha) {
    return image;
  }
  for (std::size_t y = 0; y < h; ++y) {
    const std::size_t row = andAt + (h - 1 - y) * andStride;
    for (std::size_t x = 0; x < w; ++x) {
      std::uint8_t* out = &image.rgba[(y * w + x) * 4];
      if ((dib[row + x / 8] >> (7 - x % 8)) & 1) {
        std::fill(out, out + 4, std::uint8_t{0});
      } else {
        out[3] = 255;
      }
    }
  }
  return image;
}

bool IsPng(std::span<const std::uint8_t> data) {
  return data.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), data.begin());
}

int SizeOf(const IconImage& image) {
  return std::max(image.width, image.height);
}

}  // namespace

std::vector<IconImage> DecodeIco(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kIconDirSize) {
    return {};
  }
  const std::uint16_t reserved = U16(bytes, 0);
  const std::uint16_t type = U16(bytes, 2);  // 1 icon, 2 cursor
  const std::size_t count = U16(bytes, 4);
  if (reserved != 0 || type != 1 || count > kMaxIconImages) {
    return {};
  }
  const std::size_t directoryEnd = kIconDirSize + count * kIconDirEntrySize;
  if (directoryEnd > bytes.size()) {
    return {};
  }

  try {
    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entry = kIconDirSize + i * kIconDirEntrySize;
      const std::size_t size = U32(bytes, entry + 8);
      const std::size_t offset = U32(bytes, entry + 12);
      // Compared so that neither side can wrap.
      if (offset < directoryEnd || offset > bytes.size() || size > bytes.size() - offset) {
        continue;
      }
      const auto data = bytes.subspan(offset, size);
      // PNG entries (the 256 px images of newer icons) are left to the
      // platforms that read them natively.
      if (IsPng(data)) {
        continue;
      }
      if (auto image = DecodeDib(data)) {
        images.push_back(std::move(*image));
      }
    }
    return images;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

const IconImage* PickIconImage(const std::vector<IconImage>& images, int size) {
  // Lower ranks first: the exact size, then larger sizes nearest first, then
  // smaller sizes largest first.
  const auto rank = [size](const IconImage& image) {
    const long long s = SizeOf(image);
    return s >= size ? std::pair{0, s - size} : std::pair{1, size - s};
  };
  const IconImage* best = nullptr;
  for (const IconImage& image : images) {
    if (best == nullptr || rank(image) < rank(*best) ||
        (rank(image) == rank(*best) && image.bitCount > best->bitCount)) {
      best = &image;
    }
  }
  return best;
}

}  // namespace fw
