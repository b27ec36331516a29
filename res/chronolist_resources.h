// The program's resource table (dialogs.cpp): what main() hands the
// framework at start-up, and what the application's tests install.
#pragma once

#include "framework/resources.h"

namespace chronolist {

const fw::ResourceTable& Resources();

}  // namespace chronolist
