// Resource access. The program hands its resource table to the framework at
// start-up (RunApplication) and a test installs its own with SetResources;
// the framework and the backends look dialogs, strings and icons up here.
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

// Installs the table the lookups below search (nullptr: none, and nothing
// is found); the previous one is returned so tests can restore it.
const ResourceTable* SetResources(const ResourceTable* table);

const DialogTemplate* FindDialogTemplate(UINT id);
// Empty when there is no such string, as LoadString reports 0 characters.
std::string FindStringResource(UINT id);
const IconResource* FindIconResource(UINT id);

}  // namespace fw
