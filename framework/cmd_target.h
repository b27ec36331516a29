// The root of everything that answers messages: it owns the lookup of a
// message or command in the class's message map chain.
#pragma once

#include "framework/message_map.h"
#include "framework/types.h"

namespace fw {

class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget() = default;

  // Runs the handler mapped to command `id`; false when none is mapped.
  virtual bool OnCmdMsg(UINT id);
  // Runs the handler mapped to `message`; false when none is mapped.
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  virtual const MessageMap* GetMessageMap() const;

 protected:
  static const MessageMap* GetThisMessageMap();
};

}  // namespace fw
