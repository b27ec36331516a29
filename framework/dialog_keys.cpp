#include "framework/dialog_keys.h"

#include "framework/menu.h"

namespace fw {

namespace {

DialogKeyAction MoveKeyAction(DialogKey key) {
  switch (key) {
    case DialogKey::Left:
      return {DialogKeyEffect::MoveBy, 0, -kKeyboardMoveStep, 0};
    case DialogKey::Right:
      return {DialogKeyEffect::MoveBy, 0, kKeyboardMoveStep, 0};
    case DialogKey::Up:
      return {DialogKeyEffect::MoveBy, 0, 0, -kKeyboardMoveStep};
    case DialogKey::Down:
      return {DialogKeyEffect::MoveBy, 0, 0, kKeyboardMoveStep};
    case DialogKey::Escape:
      return {DialogKeyEffect::CancelMove};
    case DialogKey::Enter:
      return {DialogKeyEffect::EndMove};
    default:
      return {DialogKeyEffect::Swallow};  // other keys do nothing while moving
  }
}

}  // namespace

int DefaultButtonId(const DialogKeyState& state) {
  return state.focusedButton.value_or(state.templateDefault.value_or(IDOK));
}

DialogKeyAction DialogKeyActionFor(DialogKey key, unsigned modifiers, const DialogKeyState& state) {
  if (!state.enabled) {
    return {DialogKeyEffect::Swallow};
  }
  if (state.moving) {
    return MoveKeyAction(key);
  }
  // Shift (and Super) leave a key plain; Ctrl or Alt make it another key.
  const bool plain = (modifiers & (kControl | kAlt)) == 0;
  const bool altOnly = modifiers == kAlt;
  switch (key) {
    case DialogKey::Escape:
      return plain ? DialogKeyAction{DialogKeyEffect::Command, IDCANCEL} : DialogKeyAction{};
    case DialogKey::Enter:
      return plain ? DialogKeyAction{DialogKeyEffect::Command, DefaultButtonId(state)}
                   : DialogKeyAction{};
    case DialogKey::Tab:
      if (!plain) {
        return {};
      }
      return {(modifiers & kShift) != 0 ? DialogKeyEffect::FocusPrevious
                                        : DialogKeyEffect::FocusNext};
    case DialogKey::F1:
      return plain ? DialogKeyAction{DialogKeyEffect::Command, static_cast<int>(ID_HELP)}
                   : DialogKeyAction{};
    case DialogKey::F4:
      return altOnly ? DialogKeyAction{DialogKeyEffect::SysCommand, static_cast<int>(SC_CLOSE)}
                     : DialogKeyAction{};
    case DialogKey::Space:
      // A plain Space is the focused button's own: it presses on release.
      return altOnly ? DialogKeyAction{DialogKeyEffect::SysCommand, static_cast<int>(SC_KEYMENU)}
                     : DialogKeyAction{};
    default:
      return {};
  }
}

int AccessKeyButton(char32_t typed, unsigned modifiers,
                    const std::vector<std::pair<int, std::string>>& buttons) {
  if ((modifiers & (kControl | kOtherModifier)) != 0 || typed >= 0x80) {
    return 0;
  }
  const char letter = typed >= 'A' && typed <= 'Z' ? static_cast<char>(typed - 'A' + 'a')
                                                   : static_cast<char>(typed);
  for (const auto& [id, text] : buttons) {
    if (letter != 0 && MenuAccessKey(text) == letter) {
      return id;
    }
  }
  return 0;
}

std::size_t NextTabStop(std::size_t count, std::optional<std::size_t> current, int step) {
  if (count == 0) {
    return 0;
  }
  if (!current || *current >= count) {
    return step > 0 ? 0 : count - 1;
  }
  const auto n = static_cast<std::ptrdiff_t>(count);
  const auto next = (static_cast<std::ptrdiff_t>(*current) + step) % n;
  return static_cast<std::size_t>(next < 0 ? next + n : next);
}

}  // namespace fw
