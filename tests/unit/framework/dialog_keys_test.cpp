// The Windows dialog key rules, without a display: what each key does with
// each modifier, where Enter goes as the focus moves, the keyboard move, and
// Tab's wrap among the tab stops.
#include <gtest/gtest.h>

#include "framework/dialog_keys.h"

namespace fw {
namespace {

using Effect = DialogKeyEffect;

DialogKeyAction Command(int id) {
  return {Effect::Command, id};
}
DialogKeyAction SysCommand(UINT id) {
  return {Effect::SysCommand, static_cast<int>(id)};
}
constexpr DialogKeyAction kPassOn{Effect::PassOn};
constexpr DialogKeyAction kSwallow{Effect::Swallow};

TEST(DialogKeys, PlainKeysAndTheirModifiers) {
  const DialogKeyState state;  // no button focused, no template default
  struct Case {
    DialogKey key;
    unsigned modifiers;
    DialogKeyAction action;
  };
  const Case cases[] = {
      {DialogKey::Escape, 0, Command(IDCANCEL)},
      {DialogKey::Escape, kShift, Command(IDCANCEL)},
      {DialogKey::Escape, kOtherModifier, Command(IDCANCEL)},
      {DialogKey::Escape, kControl, kPassOn},
      {DialogKey::Escape, kAlt, kPassOn},
      {DialogKey::Enter, 0, Command(IDOK)},
      {DialogKey::Enter, kShift, Command(IDOK)},
      {DialogKey::Enter, kAlt, kPassOn},
      {DialogKey::Tab, 0, {Effect::FocusNext}},
      {DialogKey::Tab, kShift, {Effect::FocusPrevious}},
      {DialogKey::Tab, kControl, kPassOn},
      {DialogKey::Tab, kAlt | kShift, kPassOn},
      {DialogKey::F1, 0, Command(static_cast<int>(ID_HELP))},
      {DialogKey::F1, kControl, kPassOn},
      // Alt+F4 and Alt+Space want Alt and nothing else.
      {DialogKey::F4, kAlt, SysCommand(SC_CLOSE)},
      {DialogKey::F4, 0, kPassOn},
      {DialogKey::F4, kAlt | kShift, kPassOn},
      {DialogKey::F4, kAlt | kOtherModifier, kPassOn},
      {DialogKey::Space, kAlt, SysCommand(SC_KEYMENU)},
      {DialogKey::Space, kAlt | kControl, kPassOn},
      // A plain Space, arrows and letters are the focused control's.
      {DialogKey::Space, 0, kPassOn},
      {DialogKey::Left, 0, kPassOn},
      {DialogKey::Other, 0, kPassOn},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DialogKeyActionFor(c.key, c.modifiers, state), c.action)
        << "key " << static_cast<int>(c.key) << " modifiers " << c.modifiers;
  }
}

TEST(DialogKeys, EnterPressesTheButtonWithTheFocusElseTheTemplateDefault) {
  DialogKeyState state;
  state.templateDefault = 7;
  EXPECT_EQ(DefaultButtonId(state), 7);
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Enter, 0, state), Command(7));

  state.focusedButton = IDCANCEL;  // the default follows the focus
  EXPECT_EQ(DefaultButtonId(state), IDCANCEL);
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Enter, 0, state), Command(IDCANCEL));
  // Esc cancels whichever button has the focus.
  state.focusedButton = IDOK;
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Escape, 0, state), Command(IDCANCEL));

  state.focusedButton.reset();
  state.templateDefault.reset();
  EXPECT_EQ(DefaultButtonId(state), IDOK);
}

TEST(DialogKeys, ADisabledDialogSwallowsEveryKey) {
  DialogKeyState state;
  state.enabled = false;
  state.moving = true;
  for (DialogKey key : {DialogKey::Escape, DialogKey::Enter, DialogKey::Tab, DialogKey::Space,
                        DialogKey::Left, DialogKey::Other}) {
    EXPECT_EQ(DialogKeyActionFor(key, 0, state), kSwallow);
  }
  EXPECT_EQ(DialogKeyActionFor(DialogKey::F4, kAlt, state), kSwallow);
}

TEST(DialogKeys, KeyboardMoveStepsEndsAndCancels) {
  DialogKeyState state;
  state.moving = true;
  state.focusedButton = IDOK;
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Left, 0, state),
            (DialogKeyAction{Effect::MoveBy, 0, -8, 0}));
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Right, 0, state),
            (DialogKeyAction{Effect::MoveBy, 0, 8, 0}));
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Up, kShift, state),
            (DialogKeyAction{Effect::MoveBy, 0, 0, -8}));
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Down, 0, state),
            (DialogKeyAction{Effect::MoveBy, 0, 0, 8}));
  // Enter and Esc end the move, never the dialog.
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Enter, 0, state), DialogKeyAction{Effect::EndMove});
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Escape, 0, state), DialogKeyAction{Effect::CancelMove});
  // Everything else is taken and does nothing while moving.
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Tab, 0, state), kSwallow);
  EXPECT_EQ(DialogKeyActionFor(DialogKey::F4, kAlt, state), kSwallow);
  EXPECT_EQ(DialogKeyActionFor(DialogKey::Other, 0, state), kSwallow);
}

TEST(DialogKeys, TabWrapsAmongTheTabStops) {
  EXPECT_EQ(NextTabStop(2, 0, +1), 1u);
  EXPECT_EQ(NextTabStop(2, 1, +1), 0u);
  EXPECT_EQ(NextTabStop(2, 0, -1), 1u);
  EXPECT_EQ(NextTabStop(3, 1, -1), 0u);
  EXPECT_EQ(NextTabStop(1, 0, -1), 0u);
  // Focus outside the stops: the first forward, the last backward.
  EXPECT_EQ(NextTabStop(3, std::nullopt, +1), 0u);
  EXPECT_EQ(NextTabStop(3, std::nullopt, -1), 2u);
  EXPECT_EQ(NextTabStop(3, 5, +1), 0u);
}

}  // namespace
}  // namespace fw
