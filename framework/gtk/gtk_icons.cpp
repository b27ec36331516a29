#include "framework/gtk/gtk_icons.h"

#include <gio/gio.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "framework/resources.h"

namespace {

// A PNG of the bundle, read as one: no content sniffing, which would load
// the system's whole MIME database for a type known in advance.
GdkPixbuf* DecodePng(const std::string& resource) {
  const fw::gtk::ToolkitPtr<GBytes, g_bytes_unref> bytes(
      g_resources_lookup_data(resource.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (bytes == nullptr) {
    return nullptr;
  }
  const fw::gtk::GObjectPtr<GdkPixbufLoader> loader(
      gdk_pixbuf_loader_new_with_type("png", nullptr));
  // A loader is closed whether its data decoded or not.
  const bool written = loader && gdk_pixbuf_loader_write_bytes(loader.get(), bytes.get(), nullptr);
  const bool decoded = loader && gdk_pixbuf_loader_close(loader.get(), nullptr) && written;
  GdkPixbuf* image = decoded ? gdk_pixbuf_loader_get_pixbuf(loader.get()) : nullptr;
  return image != nullptr ? GDK_PIXBUF(g_object_ref(image)) : nullptr;
}

}  // namespace

GdkPixbuf* fw::IconHandle::ImageForSize(int size) const {
  for (;;) {
    const Image* best = nullptr;
    for (const Image& image : images) {
      if (image.undecodable) {
        continue;
      }
      const bool larger = image.size >= size;
      const bool bestLarger = best != nullptr && best->size >= size;
      if (best == nullptr || (larger && (!bestLarger || image.size < best->size)) ||
          (!larger && !bestLarger && image.size > best->size)) {
        best = &image;
      }
    }
    if (best == nullptr) {
      return nullptr;
    }
    if (!best->pixbuf) {
      best->pixbuf = fw::gtk::GObjectPtr<GdkPixbuf>(DecodePng(best->resource));
      best->undecodable = !best->pixbuf;
    }
    if (best->pixbuf) {
      return best->pixbuf.get();
    }
  }
}

namespace fw::gtk {

std::unique_ptr<IconHandle> LoadIconResource(UINT id) {
  const IconResource* resource = FindIconResource(id);
  if (resource == nullptr || resource->images == nullptr) {
    return nullptr;
  }
  const std::string folder = resource->images;
  const ToolkitPtr<gchar*, g_strfreev> names(
      g_resources_enumerate_children(folder.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (names == nullptr) {
    return nullptr;
  }
  auto icon = std::make_unique<IconHandle>();
  for (gchar** name = names.get(); *name != nullptr; ++name) {
    const int size = std::atoi(*name);
    if (size > 0) {
      icon->images.push_back({.size = size, .resource = folder + *name});
    }
  }
  if (icon->images.empty()) {
    return nullptr;
  }
  std::sort(icon->images.begin(), icon->images.end(),
            [](const auto& a, const auto& b) { return a.size < b.size; });
  return icon;
}

// The icon's image for size × scale, so that nothing is upscaled while a
// sharper one exists.
CairoSurfacePtr IconSurface(HICON icon, int size, int scale, GdkWindow* window) {
  GdkPixbuf* image = icon != nullptr ? icon->ImageForSize(size * scale) : nullptr;
  if (image == nullptr) {
    return nullptr;
  }
  const int device = size * scale;
  if (gdk_pixbuf_get_width(image) == device && gdk_pixbuf_get_height(image) == device) {
    return CairoSurfacePtr(gdk_cairo_surface_create_from_pixbuf(image, scale, window));
  }
  GObjectPtr<GdkPixbuf> scaled(gdk_pixbuf_scale_simple(image, device, device, GDK_INTERP_HYPER));
  return CairoSurfacePtr(gdk_cairo_surface_create_from_pixbuf(scaled.get(), scale, window));
}

void SetImageFromIcon(GtkWidget* image, HICON icon, int size) {
  const CairoSurfacePtr surface =
      IconSurface(icon, size, gtk_widget_get_scale_factor(image), gtk_widget_get_window(image));
  gtk_image_set_from_surface(GTK_IMAGE(image), surface.get());
}

}  // namespace fw::gtk
