#include "framework/sys_command.h"

namespace fw {

SysCommandAction DefaultSysCommandAction(UINT nID) {
  switch (SysCommandOf(nID)) {
    case SC_CLOSE:
      return SysCommandAction::Close;
    case SC_MOVE:
      return SysCommandAction::Move;
    case SC_KEYMENU:
      return SysCommandAction::ShowMenu;
    default:
      return SysCommandAction::None;
  }
}

}  // namespace fw
