// Icons for the GTK backend: each icon resource is a folder of PNGs in the
// program's GResource bundle, named by their size, decoded with gdk-pixbuf
// as each size is needed, behind the framework's HICON; the image of the
// right size for a screen's scale.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/gtk/gobject_ptr.h"
#include "framework/types.h"

struct fw::IconHandle {
  // One PNG per size in the bundle, decoded when first asked for: a dialog
  // shows two of them, and decoding the rest would only cost start-up time
  // and memory.
  struct Image {
    int size = 0;
    std::string resource;
    mutable fw::gtk::GObjectPtr<GdkPixbuf> pixbuf = {};
    mutable bool undecodable = false;
  };
  std::vector<Image> images;  // smallest first

  // The image of exactly `size` pixels, else the nearest larger, else the
  // largest, leaving out images that do not decode; nullptr when none does.
  GdkPixbuf* ImageForSize(int size) const;
};

namespace fw::gtk {

// The sizes of a window's icons (ICON_SMALL and ICON_BIG, SM_CXSMICON and
// SM_CXICON), in logical pixels.
inline constexpr int kSmallIconSize = 16;
inline constexpr int kBigIconSize = 32;

// Finds icon resource `id`'s images, smallest first; nullptr when it is
// missing or has none.
std::unique_ptr<IconHandle> LoadIconResource(UINT id);

using CairoSurfacePtr = ToolkitPtr<cairo_surface_t, cairo_surface_destroy>;

// `icon` drawn at `size` logical pixels on a screen of `scale` device pixels
// each; null when there is no image.
CairoSurfacePtr IconSurface(HICON icon, int size, int scale, GdkWindow* window);
// Shows `icon` at `size` logical pixels in the GtkImage `image`.
void SetImageFromIcon(GtkWidget* image, HICON icon, int size);

}  // namespace fw::gtk
