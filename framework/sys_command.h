// What the default handling of a system command (WM_SYSCOMMAND) does. The
// low four bits of a command id are the system's own and are ignored.
#pragma once

#include "framework/types.h"

namespace fw {

inline constexpr UINT kSysCommandMask = 0xFFF0;

constexpr UINT SysCommandOf(UINT nID) {
  return nID & kSysCommandMask;
}

enum class SysCommandAction {
  None,      // commands a fixed-size dialog has no use for
  Close,     // SC_CLOSE: sends WM_CLOSE
  Move,      // SC_MOVE: moves the window
  ShowMenu,  // SC_KEYMENU: opens the window menu
};

SysCommandAction DefaultSysCommandAction(UINT nID);

}  // namespace fw
