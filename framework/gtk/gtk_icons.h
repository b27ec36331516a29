// Icons for the GTK backend: the program's .ico resources decoded into one
// pixbuf per image, behind the framework's HICON.
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

// Decodes icon resource `id`; nullptr when it is missing or malformed.
std::unique_ptr<IconHandle> LoadIconResource(UINT id);

}  // namespace fw::gtk
