// A Windows .ico cut down to one of its images, so that gdk-pixbuf (which
// reads only an .ico's largest image) can read any of them for comparison.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

namespace chronolist::testing {

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

}  // namespace chronolist::testing
