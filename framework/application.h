// The program's entry into the framework. The program defines main(),
// constructs its one application object (CWinApp) statically and hands its
// resources over here; the backend CMake picks opens the display, installs
// itself and the resources and runs the application object.
#pragma once

#include "framework/resources.h"

namespace fw {

// Returns the process's exit status: the application object's
// ExitInstance, also when no window can be shown at all.
int RunApplication(int argc, char** argv, const ResourceTable& resources);

}  // namespace fw
