// The dialog window's keyboard: GDK's keys translated for the neutral dialog
// key rules (framework/dialog_keys.h) and their actions carried out; focus
// among the tab stops, the default button that follows the focus, and the
// keyboard move (SC_MOVE).
#include <gdk/gdkkeysyms.h>

#include <algorithm>
#include <utility>

#include "framework/gtk/gtk_dialog_window.h"

namespace fw::gtk {

namespace {

struct KeyName {
  guint keyval;
  DialogKey key;
};

constexpr KeyName kKeyNames[] = {
    {GDK_KEY_Return, DialogKey::Enter},    {GDK_KEY_KP_Enter, DialogKey::Enter},
    {GDK_KEY_ISO_Enter, DialogKey::Enter}, {GDK_KEY_Escape, DialogKey::Escape},
    {GDK_KEY_Tab, DialogKey::Tab},         {GDK_KEY_ISO_Left_Tab, DialogKey::Tab},
    {GDK_KEY_KP_Tab, DialogKey::Tab},      {GDK_KEY_space, DialogKey::Space},
    {GDK_KEY_F1, DialogKey::F1},           {GDK_KEY_F4, DialogKey::F4},
    {GDK_KEY_Left, DialogKey::Left},       {GDK_KEY_Right, DialogKey::Right},
    {GDK_KEY_Up, DialogKey::Up},           {GDK_KEY_Down, DialogKey::Down},
};

DialogKey KeyOf(guint keyval) {
  for (const KeyName& name : kKeyNames) {
    if (name.keyval == keyval) {
      return name.key;
    }
  }
  return DialogKey::Other;
}

}  // namespace

unsigned ModifiersOf(const GdkEventKey* event) {
  const guint state = event->state & gtk_accelerator_get_default_mod_mask();
  constexpr std::pair<guint, unsigned> kModifiers[] = {
      {GDK_SHIFT_MASK, kShift}, {GDK_CONTROL_MASK, kControl}, {GDK_MOD1_MASK, kAlt}};
  unsigned modifiers = 0;
  guint others = state;
  for (const auto& [mask, modifier] : kModifiers) {
    if ((state & mask) != 0) {
      modifiers |= modifier;
    }
    others &= ~mask;
  }
  if (others != 0) {
    modifiers |= kOtherModifier;
  }
  // Shift+Tab arrives as the back-tab key, with or without Shift.
  if (event->keyval == GDK_KEY_ISO_Left_Tab) {
    modifiers |= kShift;
  }
  return modifiers;
}

DialogKeyState DialogWindow::KeyState() const {
  DialogKeyState state;
  state.enabled = enabled_;
  state.moving = moving_;
  if (const Control* focused = FocusedButton()) {
    state.focusedButton = focused->item->id;
  }
  if (templateDefault_ != nullptr) {
    state.templateDefault = ButtonId(templateDefault_);
  }
  return state;
}

void DialogWindow::CarryOut(const DialogKeyAction& action) {
  switch (action.effect) {
    case DialogKeyEffect::PassOn:
    case DialogKeyEffect::Swallow:
      break;
    case DialogKeyEffect::Command:
      Command(action.id);
      break;
    case DialogKeyEffect::SysCommand:
      SysCommand(static_cast<UINT>(action.id));
      break;
    case DialogKeyEffect::FocusNext:
      MoveFocus(+1);
      break;
    case DialogKeyEffect::FocusPrevious:
      MoveFocus(-1);
      break;
    case DialogKeyEffect::MoveBy: {
      int x = 0;
      int y = 0;
      gtk_window_get_position(GTK_WINDOW(window_), &x, &y);
      gtk_window_move(GTK_WINDOW(window_), x + action.dx, y + action.dy);
      break;
    }
    case DialogKeyEffect::EndMove:
      moving_ = false;
      break;
    case DialogKeyEffect::CancelMove:
      moving_ = false;
      gtk_window_move(GTK_WINDOW(window_), moveStartX_, moveStartY_);
      break;
  }
}

const DialogWindow::Control* DialogWindow::FocusedButton() const {
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
  for (const Control& control : controls_) {
    if (control.widget == focus && control.item->IsPushButton()) {
      return &control;
    }
  }
  return nullptr;
}

const DialogWindow::Control* DialogWindow::ControlWithId(int id) const {
  for (const Control& control : controls_) {
    if (control.item->id == id) {
      return &control;
    }
  }
  return nullptr;
}

void DialogWindow::MoveFocus(int step) {
  std::vector<GtkWidget*> stops;
  for (const Control& control : controls_) {
    if (control.item->IsTabStop() && gtk_widget_get_sensitive(control.widget)) {
      stops.push_back(control.widget);
    }
  }
  if (stops.empty()) {
    return;
  }
  const auto current =
      std::find(stops.begin(), stops.end(), gtk_window_get_focus(GTK_WINDOW(window_)));
  std::optional<std::size_t> index;
  if (current != stops.end()) {
    index = static_cast<std::size_t>(current - stops.begin());
  }
  gtk_widget_grab_focus(stops[NextTabStop(stops.size(), index, step)]);
}

// Enter presses the default button, which is drawn so.
void DialogWindow::MarkDefault(GtkWidget* button) {
  if (shownDefault_ != nullptr) {
    gtk_style_context_remove_class(gtk_widget_get_style_context(shownDefault_), "fw-default");
  }
  shownDefault_ = button;
  if (shownDefault_ != nullptr) {
    gtk_style_context_add_class(gtk_widget_get_style_context(shownDefault_), "fw-default");
  }
}

void DialogWindow::StartMoveByKeyboard() {
  moving_ = true;
  gtk_window_get_position(GTK_WINDOW(window_), &moveStartX_, &moveStartY_);
}

gboolean DialogWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<DialogWindow*>(data);
  DialogKeyState state = self->KeyState();
  // A modal dialog's grab hands it keys typed into its owner; those belong to
  // a disabled window and are dropped, as Windows drops them.
  state.enabled = state.enabled && event->window != nullptr &&
                  gdk_window_get_toplevel(event->window) == gtk_widget_get_window(self->window_);
  const DialogKeyAction action =
      DialogKeyActionFor(KeyOf(event->keyval), ModifiersOf(event), state);
  if (action.effect == DialogKeyEffect::PassOn) {
    return FALSE;
  }
  self->CarryOut(action);
  return TRUE;
}

gboolean DialogWindow::OnButtonFocusIn(GtkWidget* widget, GdkEvent*, gpointer data) {
  auto* self = static_cast<DialogWindow*>(data);
  DialogKeyState state = self->KeyState();
  state.focusedButton = ButtonId(widget);
  if (const Control* shown = self->ControlWithId(DefaultButtonId(state))) {
    self->MarkDefault(shown->widget);
  }
  return FALSE;
}

}  // namespace fw::gtk
