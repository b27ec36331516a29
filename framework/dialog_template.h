// A dialog template as data: the one description of a dialog's frame, font
// and controls, from which every backend builds the real window.
#pragma once

#include <string>
#include <vector>

#include "framework/types.h"

namespace fw {

// Predefined window classes, by their Win32 atoms.
enum class ControlClass : WORD { Button = 0x0080, Static = 0x0082 };

inline constexpr int kStaticId = -1;  // a control nobody addresses

struct DialogItemTemplate {
  int id = kStaticId;
  ControlClass windowClass = ControlClass::Static;
  std::string text;                    // UTF-8; empty for an icon
  UINT iconId = 0;                     // the icon resource of an SS_ICON static
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD style = 0;                     // complete, including WS_CHILD | WS_VISIBLE
  DWORD exStyle = 0;

  bool IsPushButton() const {
    const DWORD type = style & BS_TYPEMASK;
    return windowClass == ControlClass::Button &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
  }
  bool IsDefaultButton() const {
    return IsPushButton() && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  }
  bool IsIcon() const {
    return windowClass == ControlClass::Static && (style & SS_TYPEMASK) == SS_ICON;
  }
  bool IsText() const {
    return windowClass == ControlClass::Static && (style & SS_TYPEMASK) == SS_LEFT;
  }
  bool IsTabStop() const { return (style & WS_TABSTOP) != 0; }
};

struct DialogFont {
  int pointSize = 9;
  int weight = FW_DONTCARE;
  bool italic = false;
  int charset = DEFAULT_CHARSET;
  std::string face;  // UTF-8
};

struct DialogTemplate {
  UINT id = 0;
  bool extended = false;  // DLGTEMPLATEEX rather than the classic DLGTEMPLATE
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::string caption;                 // UTF-8
  DialogFont font;
  std::vector<DialogItemTemplate> items;  // template order is tab order
};

}  // namespace fw
