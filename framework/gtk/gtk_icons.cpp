#include "framework/gtk/gtk_icons.h"

#include <gio/gio.h>

#include <algorithm>
#include <memory>
#include <string>

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

std::unique_ptr<IconHandle> LoadIconResource(UINT id) {
  const IconResource* resource = FindIconResource(id);
  if (resource == nullptr || resource->images == nullptr) {
    return nullptr;
  }
  const std::string folder = resource->images;
  gchar** names =
      g_resources_enumerate_children(folder.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  if (names == nullptr) {
    return nullptr;
  }
  auto icon = std::make_unique<IconHandle>();
  for (gchar** name = names; *name != nullptr; ++name) {
    // An image that does not decode is left out; the other sizes still serve.
    if (GdkPixbuf* image = gdk_pixbuf_new_from_resource((folder + *name).c_str(), nullptr)) {
      icon->images.emplace_back(image);
    }
  }
  g_strfreev(names);
  if (icon->images.empty()) {
    return nullptr;
  }
  std::sort(icon->images.begin(), icon->images.end(), [](const auto& a, const auto& b) {
    return gdk_pixbuf_get_width(a.get()) < gdk_pixbuf_get_width(b.get());
  });
  return icon;
}

// The icon's image for size × scale, so that nothing is upscaled while a
// sharper one exists.
cairo_surface_t* IconSurface(HICON icon, int size, int scale, GdkWindow* window) {
  GdkPixbuf* image = icon != nullptr ? icon->ImageForSize(size * scale) : nullptr;
  if (image == nullptr) {
    return nullptr;
  }
  const int device = size * scale;
  if (gdk_pixbuf_get_width(image) == device && gdk_pixbuf_get_height(image) == device) {
    return gdk_cairo_surface_create_from_pixbuf(image, scale, window);
  }
  GObjectPtr<GdkPixbuf> scaled(gdk_pixbuf_scale_simple(image, device, device, GDK_INTERP_HYPER));
  return gdk_cairo_surface_create_from_pixbuf(scaled.get(), scale, window);
}

void SetImageFromIcon(GtkWidget* image, HICON icon, int size) {
  cairo_surface_t* surface =
      IconSurface(icon, size, gtk_widget_get_scale_factor(image), gtk_widget_get_window(image));
  gtk_image_set_from_surface(GTK_IMAGE(image), surface);
  if (surface != nullptr) {
    cairo_surface_destroy(surface);
  }
}

}  // namespace fw::gtk
