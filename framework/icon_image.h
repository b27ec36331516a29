// Reads the images of a Windows .ico file into plain RGBA, so every backend
// and the build's icon tools draw the application icon from the one .ico.
// Standard C++ only; the bytes may come from anywhere, so nothing is trusted.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace fw {

struct IconImage {
  int width = 0;
  int height = 0;
  int bitCount = 0;                // bits per pixel of the stored image: 1, 4, 8, 24 or 32
  std::vector<std::uint8_t> rgba;  // top-down rows, 4 bytes per pixel, straight alpha
};

// The largest image side, and the most directory entries, we accept; anything
// beyond is not an icon but an attempt to make us allocate.
inline constexpr int kMaxIconSide = 256;
inline constexpr int kMaxIconImages = 64;

// Every image of an .ico, in file order. Empty when the header or the directory
// is malformed. An entry that cannot be decoded (out of bounds, PNG-compressed,
// unsupported format, inconsistent sizes) is skipped; the others are kept.
// Pixels hidden by the AND mask come out as 0,0,0,0. Never reads outside
// `bytes` and never throws.
std::vector<IconImage> DecodeIco(std::span<const std::uint8_t> bytes);

// The image to draw at `size` pixels: that exact size, else the nearest larger
// size, else the largest; within the chosen size the highest bit count, then
// the first in file order. An image's size is its larger side. nullptr when
// `images` is empty.
const IconImage* PickIconImage(const std::vector<IconImage>& images, int size);

}  // namespace fw
