// Icons by resource id, each made once and kept for the life of the
// process: LoadIcon hands out shared handles that nobody frees. A backend
// holds one where its IconHandle is a complete type.
#pragma once

#include <map>
#include <memory>

#include "framework/types.h"

namespace fw {

class IconCache {
 public:
  // Icon `id`, made by `make()` (a std::unique_ptr<IconHandle>, empty when
  // the resource is missing or unusable) the first time it is asked for.
  template <typename Make>
  HICON Find(UINT id, Make make) {
    auto found = icons_.find(id);
    if (found == icons_.end()) {
      found = icons_.emplace(id, make()).first;
    }
    return found->second.get();
  }

 private:
  std::map<UINT, std::unique_ptr<IconHandle>> icons_;
};

}  // namespace fw
