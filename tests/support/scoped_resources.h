// Installs a resource table for as long as the object lives, as the
// program's start-up does for the whole run, and puts the previous one back.
#pragma once

#include "framework/resources.h"

namespace chronolist::test {

class ScopedResources {
 public:
  explicit ScopedResources(const fw::ResourceTable& table) : previous_(fw::SetResources(&table)) {}
  ScopedResources(const ScopedResources&) = delete;
  ScopedResources& operator=(const ScopedResources&) = delete;
  ~ScopedResources() { fw::SetResources(previous_); }

 private:
  const fw::ResourceTable* previous_;
};

}  // namespace chronolist::test
