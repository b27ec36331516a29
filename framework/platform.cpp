#include "framework/platform.h"

#include <cstdio>
#include <cstdlib>

namespace fw {

namespace {
Platform* gPlatform = nullptr;
}  // namespace

Platform& CurrentPlatform() {
  if (gPlatform == nullptr) {
    std::fputs("internal error: no windowing backend installed\n", stderr);
    std::abort();
  }
  return *gPlatform;
}

Platform* SetPlatform(Platform* platform) {
  Platform* previous = gPlatform;
  gPlatform = platform;
  return previous;
}

}  // namespace fw
