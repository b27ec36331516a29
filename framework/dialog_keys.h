// The Windows dialog manager's keyboard rules as plain logic: what a key
// press in a modal dialog does, given its modifiers and the dialog's state.
// A backend translates its toolkit's keys into DialogKey and carries the
// resulting action out; only what no toolkit does for us is decided here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/types.h"

namespace fw {

enum class DialogKey {
  Other,
  Enter,  // Return and the keypad's Enter
  Escape,
  Tab,  // with kShift for Shift+Tab (and the toolkit's back-tab key)
  Space,
  F1,
  F4,
  Left,
  Right,
  Up,
  Down,
};

// Modifier bits; kOtherModifier stands for the rest (Super, Hyper, Meta).
inline constexpr unsigned kShift = 1;
inline constexpr unsigned kControl = 2;
inline constexpr unsigned kAlt = 4;
inline constexpr unsigned kOtherModifier = 8;

// Pixels a window moves per arrow key during a keyboard move (SC_MOVE).
inline constexpr int kKeyboardMoveStep = 8;

struct DialogKeyState {
  bool enabled = true;  // a disabled dialog takes no keys at all
  bool moving = false;  // a keyboard move is under way
  // The push button with the focus, if one has it.
  std::optional<int> focusedButton;
  // The template's default push button, if it has one.
  std::optional<int> templateDefault;
};

enum class DialogKeyEffect {
  PassOn,         // not a dialog key: the focused control or the toolkit has it
  Swallow,        // taken, nothing happens
  Command,        // WM_COMMAND `id`
  SysCommand,     // WM_SYSCOMMAND `id`
  FocusNext,      // the next tab stop, wrapping
  FocusPrevious,  // the previous tab stop, wrapping
  MoveBy,         // keyboard move: by `dx`, `dy`
  EndMove,        // keyboard move: stay where it is now
  CancelMove,     // keyboard move: back to where it started
};

struct DialogKeyAction {
  DialogKeyEffect effect = DialogKeyEffect::PassOn;
  int id = 0;
  int dx = 0;
  int dy = 0;
  friend bool operator==(const DialogKeyAction&, const DialogKeyAction&) = default;
};

// The push button Enter presses and the one drawn as the default: the
// focused push button, else the template's default, else IDOK.
int DefaultButtonId(const DialogKeyState& state);

DialogKeyAction DialogKeyActionFor(DialogKey key, unsigned modifiers, const DialogKeyState& state);

// A character typed while the focus is on a push button, which takes no
// characters of its own: the id of the button whose access key it is ("&Y"
// in "はい(&Y)"), typed bare, with Shift or with Alt, as Windows dialogs and
// message boxes take it; 0 when no button has it. `buttons` are ids and
// texts.
int AccessKeyButton(char32_t typed, unsigned modifiers,
                    const std::vector<std::pair<int, std::string>>& buttons);

// The tab stop `step` places away from `current` among `count` stops,
// wrapping; with no current stop, the first (forward) or the last (back).
std::size_t NextTabStop(std::size_t count, std::optional<std::size_t> current, int step);

}  // namespace fw
