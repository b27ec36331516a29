#include "framework/menu.h"

#include <cctype>

namespace fw {

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const char* lpszNewItem) {
  MenuItem item;
  item.flags = nFlags;
  if ((nFlags & MF_SEPARATOR) == 0) {
    if (lpszNewItem == nullptr) {
      return FALSE;
    }
    item.id = nIDNewItem;
    item.text = lpszNewItem;
  }
  items_.push_back(std::move(item));
  if (appendObserver_) {
    appendObserver_(items_.back());
  }
  return TRUE;
}

CMenu CMenu::DialogSystemMenu() {
  CMenu menu;
  menu.items_.push_back({MF_STRING, SC_MOVE, "移動(&M)", ""});
  menu.items_.push_back({MF_STRING, SC_CLOSE, "閉じる(&C)", "Alt+F4"});
  return menu;
}

char MenuAccessKey(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') {
      continue;
    }
    const char next = text[i + 1];
    if (next == '&') {
      ++i;  // a literal ampersand
      continue;
    }
    if (next >= 'A' && next <= 'Z') {
      return static_cast<char>(next - 'A' + 'a');
    }
    return static_cast<unsigned char>(next) < 0x80 ? next : '\0';
  }
  return 0;
}

std::string MenuDisplayText(const std::string& text) {
  return MenuTextWithMarker(text, '\0');
}

std::string MenuTextWithMarker(const std::string& text, char marker) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;  // keep what follows: the key itself, or the second '&' of "&&"
      if (text[i] != '&' && marker != '\0') {
        shown += marker;
      }
    } else if (marker != '\0' && text[i] == marker) {
      shown += marker;
    }
    shown += text[i];
  }
  return shown;
}

std::string MenuItemName(const std::string& text) {
  std::string name = MenuDisplayText(text);
  if (name.ends_with("...")) {
    name.erase(name.size() - 3);
  }
  // "(X)", where X is the access key.
  const char key = MenuAccessKey(text);
  const std::size_t open = name.size() >= 3 ? name.size() - 3 : std::string::npos;
  if (key != 0 && open != std::string::npos && name[open] == '(' && name.back() == ')' &&
      static_cast<char>(std::tolower(static_cast<unsigned char>(name[open + 1]))) == key) {
    name.erase(open);
  }
  return name;
}

}  // namespace fw
