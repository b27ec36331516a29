#include "framework/gtk/gtk_icons.h"

#include <cstring>
#include <memory>
#include <set>

#include "framework/icon_image.h"
#include "framework/resources.h"

GdkPixbuf* fw::IconHandle::ImageForSize(int size) const {
  GdkPixbuf* best = nullptr;
  for (const auto& image : images) {
    const int width = gdk_pixbuf_get_width(image.get());
    if (width == size) {
      return image.get();
    }
    const int bestWidth = best == nullptr ? 0 : gdk_pixbuf_get_width(best);
    const bool larger = width > size;
    const bool bestLarger = bestWidth > size;
    if (best == nullptr || (larger && (!bestLarger || width < bestWidth)) ||
        (!larger && !bestLarger && width > bestWidth)) {
      best = image.get();
    }
  }
  return best;
}

namespace fw::gtk {

namespace {

GdkPixbuf* PixbufFromImage(const IconImage& image) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, image.width, image.height);
  if (pixbuf == nullptr) {
    return nullptr;
  }
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  for (int row = 0; row < image.height; ++row) {
    std::memcpy(pixels + static_cast<std::ptrdiff_t>(row) * stride,
                image.rgba.data() + row * rowBytes, rowBytes);
  }
  return pixbuf;
}

}  // namespace

std::unique_ptr<IconHandle> LoadIconResource(UINT id) {
  const IconResource* resource = FindIconResource(id);
  if (resource == nullptr) {
    return nullptr;
  }
  // One pixbuf per size: where an .ico holds a size in several colour
  // depths, the deepest is the one to show.
  const std::vector<IconImage> images = DecodeIco(resource->ico());
  std::set<int> sizes;
  for (const IconImage& image : images) {
    sizes.insert(image.width);
  }
  auto icon = std::make_unique<IconHandle>();
  for (int size : sizes) {
    const IconImage* best = PickIconImage(images, size);
    if (GdkPixbuf* pixbuf = best != nullptr ? PixbufFromImage(*best) : nullptr) {
      icon->images.emplace_back(pixbuf);
    }
  }
  if (icon->images.empty()) {
    return nullptr;
  }
  return icon;
}

}  // namespace fw::gtk
