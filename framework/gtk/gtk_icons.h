// Icons for the GTK backend: each icon resource is a folder of PNGs in the
// program's GResource bundle, loaded with gdk-pixbuf into one pixbuf per size,
// behind the framework's HICON; the image of the right size for a screen's
// scale.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "framework/gtk/gobject_ptr.h"
#include "framework/types.h"

struct fw::IconHandle {
  std::vector<fw::gtk::GObjectPtr<GdkPixbuf>> images;

  // The image of exactly `size` pixels, else the nearest larger, else the
  // largest; nullptr when the icon has no images.
  GdkPixbuf* ImageForSize(int size) const;
};

namespace fw::gtk {

// The sizes of a window's icons (ICON_SMALL and ICON_BIG, SM_CXSMICON and
// SM_CXICON), in logical pixels.
inline constexpr int kSmallIconSize = 16;
inline constexpr int kBigIconSize = 32;

// Loads icon resource `id`, its images smallest first; nullptr when it is
// missing or none of its images decodes.
std::unique_ptr<IconHandle> LoadIconResource(UINT id);

// `icon` drawn at `size` logical pixels on a screen of `scale` device pixels
// each; nullptr when there is no image. The caller destroys the surface.
cairo_surface_t* IconSurface(HICON icon, int size, int scale, GdkWindow* window);
// Shows `icon` at `size` logical pixels in the GtkImage `image`.
void SetImageFromIcon(GtkWidget* image, HICON icon, int size);

}  // namespace fw::gtk
