// Icon images for comparison with what a window shows: any image of a
// Windows .ico (cut down to that one, since gdk-pixbuf reads only an .ico's
// largest), and a pixbuf as ARGB rows, the form _NET_WM_ICON holds.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <string>
#include <vector>

namespace chronolist::test {

// The deepest image of `size` pixels in `ico`, read by gdk-pixbuf; nullptr
// when there is none. The caller owns the reference.
inline GdkPixbuf* IcoImage(const std::string& ico, int size) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(ico.at(at)); };
  const auto u16 = [&](std::size_t at) { return unsigned{byte(at)} | unsigned{byte(at + 1)} << 8; };
  const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  std::size_t entry = 0;
  unsigned deepest = 0;
  for (unsigned i = 0; i < u16(4); ++i) {
    const std::size_t at = 6 + 16 * std::size_t{i};
    const int width = byte(at) == 0 ? 256 : byte(at);
    if (width == size && u16(at + 6) > deepest) {
      entry = at;
      deepest = u16(at + 6);
    }
  }
  if (entry == 0) {
    return nullptr;
  }
  // Header with a count of one, the entry with its image now at offset 22.
  const std::string one = ico.substr(0, 4) + std::string("\x01\x00", 2) + ico.substr(entry, 12) +
                          std::string("\x16\x00\x00\x00", 4) +
                          ico.substr(u32(entry + 12), u32(entry + 8));
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("ico", nullptr);
  gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(one.data()), one.size(), nullptr);
  gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* image = gdk_pixbuf_loader_get_pixbuf(loader);
  if (image != nullptr) {
    g_object_ref(image);
  }
  g_object_unref(loader);
  return image;
}

// Rows of ARGB, a clear pixel as 0 whatever colour it carries; empty when
// `image` is null or has no alpha.
inline std::vector<std::uint32_t> PixbufArgb(GdkPixbuf* image) {
  std::vector<std::uint32_t> argb;
  if (image == nullptr || gdk_pixbuf_get_n_channels(image) != 4) {
    return argb;
  }
  const int stride = gdk_pixbuf_get_rowstride(image);
  const guchar* pixels = gdk_pixbuf_get_pixels(image);
  for (int y = 0; y < gdk_pixbuf_get_height(image); ++y) {
    for (int x = 0; x < gdk_pixbuf_get_width(image); ++x) {
      const guchar* p = pixels + y * stride + x * 4;
      argb.push_back(p[3] == 0 ? 0u
                               : std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                                     std::uint32_t{p[1]} << 8 | p[2]);
    }
  }
  return argb;
}

}  // namespace chronolist::test
