#include "framework/cmd_target.h"

namespace fw {

MessageMapHit FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam) {
  const MessageKey wanted{message, message == WM_COMMAND ? LOWORD(wParam) : 0u};
  for (; map != nullptr; map = map->base()) {
    for (std::size_t index = 0; index < map->size(); ++index) {
      if (map->KeyAt(index) == wanted) {
        return {map, index};
      }
    }
  }
  return {};
}

const MessageMap* CCmdTarget::GetThisMessageMap() {
  static const TypedMessageMap<CCmdTarget> map(nullptr, {});
  return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const {
  return GetThisMessageMap();
}

bool CCmdTarget::OnCmdMsg(UINT id) {
  const MessageMapHit hit = FindMessageEntry(GetMessageMap(), WM_COMMAND, id);
  if (hit) {
    hit.map->Invoke(hit.index, *this, id, 0);
  }
  return static_cast<bool>(hit);
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const MessageMapHit hit = FindMessageEntry(GetMessageMap(), message, wParam);
  if (hit) {
    const LRESULT value = hit.map->Invoke(hit.index, *this, wParam, lParam);
    if (result != nullptr) {
      *result = value;
    }
  }
  return static_cast<bool>(hit);
}

}  // namespace fw
