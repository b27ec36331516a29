// Icons for the GTK backend: each icon resource is a folder of PNGs in the
// program's GResource bundle, loaded with gdk-pixbuf into one pixbuf per size,
// behind the framework's HICON.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

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

// Loads icon resource `id`, its images smallest first; nullptr when it is
// missing or none of its images decodes.
std::unique_ptr<IconHandle> LoadIconResource(UINT id);

}  // namespace fw::gtk
