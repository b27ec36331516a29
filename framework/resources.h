// Resource access. The executable supplies its resources by defining
// ApplicationResources() (see res/); the framework and the backends look
// dialogs, strings and icons up here by id.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "framework/dialog_template.h"

namespace fw {

struct StringResource {
  UINT id;
  const char* text;  // UTF-8
};

// The Windows build loads an icon from its resource script by id; the GTK
// build from the program's GResource bundle, where each icon is a folder of
// PNGs, one per size.
struct IconResource {
  UINT id;
  const char* images;  // the bundle folder, ending in '/'
};

struct ResourceTable {
  std::span<const DialogTemplate> dialogs;
  std::span<const StringResource> strings;
  std::span<const IconResource> icons;
};

// Defined once per executable.
const ResourceTable& ApplicationResources();

const DialogTemplate* FindDialogTemplate(UINT id);
// Empty when there is no such string, as LoadString reports 0 characters.
std::string FindStringResource(UINT id);
const IconResource* FindIconResource(UINT id);

}  // namespace fw
