// What every backend's Platform does alike, in the backend's own terms: a
// modal dialog is one of its windows, and icons are made once and kept.
#pragma once

#include <map>
#include <memory>

#include "framework/platform.h"
#include "framework/types.h"

namespace fw {

// Icons by resource id, each made once and kept for the life of the
// process: LoadIcon hands out shared handles that nobody frees. A backend
// holds one where its IconHandle is a complete type.
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

// A Platform whose modal dialogs are `Window`s: made from the dialog, its
// template and its owner, and run until EndDialog by Run().
template <class Window>
class BackendPlatform : public Platform {
 public:
  INT_PTR RunModalDialog(CDialog& dialog, const DialogTemplate& dialogTemplate, CWnd* owner) final {
    Window window(dialog, dialogTemplate, owner);
    return window.Run();
  }

 protected:
  IconCache icons_;
};

}  // namespace fw
