// A menu as a model: the window (system) menu's items, which the program may
// append to and a backend renders. "&" in an item's text marks its access
// key; "&&" is a literal ampersand.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/types.h"

namespace fw {

struct MenuItem {
  UINT flags = MF_STRING;
  UINT_PTR id = 0;
  std::string text;         // UTF-8, with its "&" marker
  std::string accelerator;  // shown at the right, e.g. "Alt+F4"

  bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
  bool IsEnabled() const { return (flags & (MF_GRAYED | MF_DISABLED)) == 0; }
};

class CMenu {
 public:
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);
  const std::vector<MenuItem>& Items() const { return items_; }

  // The menu Windows gives a modal dialog with a caption and a close box.
  static CMenu DialogSystemMenu();

  // Told of every item appended, so that a backend with a native menu can
  // mirror it.
  void SetAppendObserver(std::function<void(const MenuItem&)> observer) {
    appendObserver_ = std::move(observer);
  }

 private:
  std::vector<MenuItem> items_;
  std::function<void(const MenuItem&)> appendObserver_;
};

// The access key of a menu text (lower-cased ASCII), or 0 when it has none.
char MenuAccessKey(const std::string& text);
// The text without its "&" markers, as it is displayed.
std::string MenuDisplayText(const std::string& text);
// The text for a toolkit whose access-key marker is `marker` ('_' in GTK):
// "&A" becomes `marker` and "A", "&&" a literal ampersand, and a literal
// `marker` is doubled.
std::string MenuTextWithMarker(const std::string& text, char marker);
// The item's name as a screen reader says it: the displayed text without the
// trailing ellipsis and the "(A)" that Japanese texts add for the access key
// ("閉じる(&C)" -> "閉じる").
std::string MenuItemName(const std::string& text);

}  // namespace fw
