// One modal dialog as a GTK window: built from its template, attached to its
// CDialog as the WindowPeer, run in a nested main loop. Its members are
// defined in two files, one concern each: gtk_dialog_window.cpp (the window,
// its controls, the peer's work, the modal loop) and gtk_dialog_keyboard.cpp
// (keys, focus, the default button, the keyboard move). The caption bar and
// the window menu are a CaptionBar of its own (gtk_caption_bar.*).
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_keys.h"
#include "framework/dialog_template.h"
#include "framework/dialog_units.h"
#include "framework/gtk/gobject_ptr.h"
#include "framework/gtk/gtk_caption_bar.h"
#include "framework/platform.h"

namespace fw::gtk {

// A key event's modifiers as the dialog key rules count them (kShift, ...).
unsigned ModifiersOf(const GdkEventKey* event);

class DialogWindow final : public WindowPeer {
 public:
  DialogWindow(CDialog& dialog, const DialogTemplate& dialogTemplate, CWnd* owner);
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  ~DialogWindow() override;

  // Creates the window, runs OnInitDialog, shows it and loops until
  // EndDialog; returns the EndDialog result.
  INT_PTR Run();

  GtkWindow* Window() const { return GTK_WINDOW(window_); }
  DialogBaseUnits BaseUnits() const { return units_; }
  const DialogFont& Font() const { return template_.font; }

  // WindowPeer
  bool IsIconic() const override;
  CRect GetClientRect() const override;
  CRect GetWindowRect() const override;
  void MoveTo(int left, int top) override;
  CRect GetWorkArea() const override;
  bool IsEnabled() const override { return enabled_; }
  void Enable(bool enable) override;
  HICON SetIcon(WPARAM which, HICON icon) override;
  void EndModalLoop(int result) override;
  PaintContext* BeginPaint() override;
  void EndPaint(PaintContext* context) override;
  void DefaultPaint() override {}
  void StartMoveByKeyboard() override;
  void ShowSystemMenu() override { captionBar_->ShowSystemMenu(nullptr); }

 private:
  struct Control {
    GtkWidget* widget;
    const DialogItemTemplate* item;
  };
  struct IconStatic {
    GtkWidget* widget;
    HICON icon;
  };
  class CairoPaintContext;

  // gtk_dialog_window.cpp
  void Build();
  GtkWidget* BuildControl(const DialogItemTemplate& item);
  // The command id a push button was made with.
  static int ButtonId(GtkWidget* button);
  void UpdateIcons();
  void Command(int id);
  void SysCommand(UINT id);

  // gtk_dialog_keyboard.cpp
  DialogKeyState KeyState() const;
  void CarryOut(const DialogKeyAction& action);
  void MoveFocus(int step);
  const Control* FocusedButton() const;
  const Control* ControlWithId(int id) const;
  void MarkDefault(GtkWidget* button);

  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
  static void OnClientRealize(GtkWidget* widget, gpointer self);
  static gboolean OnButtonFocusIn(GtkWidget* widget, GdkEvent* event, gpointer self);

  CDialog& dialog_;
  const DialogTemplate& template_;
  CWnd* owner_;
  DialogBaseUnits units_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;

  GtkWidget* window_ = nullptr;
  std::unique_ptr<CaptionBar> captionBar_;
  GtkWidget* client_ = nullptr;
  std::vector<Control> controls_;
  std::vector<IconStatic> iconStatics_;
  GtkWidget* templateDefault_ = nullptr;
  GtkWidget* shownDefault_ = nullptr;
  GObjectPtr<GtkCssProvider> css_;

  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  ToolkitPtr<GMainLoop, g_main_loop_unref> loop_;
  bool ended_ = false;
  INT_PTR result_ = -1;
  bool enabled_ = true;
  GtkWidget* focusWhileDisabled_ = nullptr;
  bool moving_ = false;
  int moveStartX_ = 0;
  int moveStartY_ = 0;
  std::unique_ptr<CairoPaintContext> paint_;
};

}  // namespace fw::gtk
