// Build tool: writes chosen sizes of an .ico as PNGs, for the freedesktop
// icon theme, so Linux desktops show the same icon the .ico holds.
//
//   ico_to_png INPUT.ico SIZE OUTPUT.png [SIZE OUTPUT.png ...]
//
// Each SIZE takes the image PickIconImage would draw at that size, scaled to
// SIZE x SIZE only when the .ico has no image of exactly that size.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "framework/icon_image.h"

namespace {

struct PixbufUnref {
  void operator()(GdkPixbuf* pixbuf) const { g_object_unref(pixbuf); }
};
using PixbufPtr = std::unique_ptr<GdkPixbuf, PixbufUnref>;

bool ReadFile(const char* path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

PixbufPtr ToPixbuf(const fw::IconImage& image) {
  PixbufPtr pixbuf(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, image.width, image.height));
  if (!pixbuf) {
    return nullptr;
  }
  // GdkPixbuf also holds straight RGBA, but pads its rows.
  const int stride = gdk_pixbuf_get_rowstride(pixbuf.get());
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf.get());
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(pixels + static_cast<std::size_t>(y) * stride, image.rgba.data() + y * rowBytes,
                rowBytes);
  }
  return pixbuf;
}

bool WritePng(const std::vector<fw::IconImage>& images, int size, const char* path) {
  const fw::IconImage* image = fw::PickIconImage(images, size);
  if (image == nullptr) {
    return false;
  }
  PixbufPtr pixbuf = ToPixbuf(*image);
  if (pixbuf && (image->width != size || image->height != size)) {
    pixbuf.reset(gdk_pixbuf_scale_simple(pixbuf.get(), size, size, GDK_INTERP_BILINEAR));
  }
  if (!pixbuf) {
    std::fprintf(stderr, "ico_to_png: out of memory for a %dx%d image\n", size, size);
    return false;
  }
  std::error_code ignored;
  const auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) {
    std::filesystem::create_directories(parent, ignored);
  }
  GError* error = nullptr;
  if (!gdk_pixbuf_save(pixbuf.get(), path, "png", &error, nullptr)) {
    std::fprintf(stderr, "ico_to_png: cannot write %s: %s\n", path,
                 error != nullptr ? error->message : "unknown error");
    g_clear_error(&error);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: %s INPUT.ico SIZE OUTPUT.png [SIZE OUTPUT.png ...]\n", argv[0]);
    return 2;
  }
  std::vector<std::uint8_t> bytes;
  if (!ReadFile(argv[1], bytes)) {
    std::fprintf(stderr, "ico_to_png: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<fw::IconImage> images = fw::DecodeIco(bytes);
  if (images.empty()) {
    std::fprintf(stderr, "ico_to_png: %s holds no image we can decode\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; i += 2) {
    char* end = nullptr;
    const long size = std::strtol(argv[i], &end, 10);
    if (end == argv[i] || *end != '\0' || size < 1 || size > fw::kMaxIconSide) {
      std::fprintf(stderr, "ico_to_png: '%s' is not a size from 1 to %d\n", argv[i],
                   fw::kMaxIconSide);
      return 2;
    }
    if (!WritePng(images, static_cast<int>(size), argv[i + 1])) {
      return 1;
    }
  }
  return 0;
}
