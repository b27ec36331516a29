// The dialog window's caption bar, drawn by the program on every desktop
// (icon, caption, close box; dragged to move), and the window menu it opens,
// rendered from the dialog's CWnd::GetSystemMenu. Menu choices and the close
// box reach the window as system commands; menu choices are posted, as
// WM_SYSCOMMAND is on Windows.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/types.h"

namespace fw {
class CWnd;
}

namespace fw::gtk {

class CaptionBar {
 public:
  CaptionBar(CWnd& dialog, std::function<void(UINT)> sysCommand);
  CaptionBar(const CaptionBar&) = delete;
  CaptionBar& operator=(const CaptionBar&) = delete;
  // Before the window goes: no posted command outlives it.
  ~CaptionBar();

  // The bar of `window`, from the template's caption and styles; nullptr
  // when the template has no caption. The window menu opens over `window`
  // either way.
  GtkWidget* Build(GtkWidget* window, const DialogTemplate& dialogTemplate);
  // Names the close box as the window menu names the same command, for
  // screen readers; the menu is there once the dialog has its window.
  void NameCloseBox();
  void SetIcon(HICON icon);
  // A disabled window's bar takes no clicks and opens no menu; its close box
  // says so to assistive technologies.
  void Enable(bool enable);
  // The window menu under the caption icon, its first item selected (from
  // the keyboard: `trigger` nullptr), or where the click was.
  void ShowSystemMenu(const GdkEvent* trigger);

 private:
  // The window menu's text for command `id`, as a screen reader says it.
  std::string SystemMenuItemName(UINT id);
  void PostSysCommand(UINT id);

  static gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
  static gboolean OnRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnIconPress(GtkWidget* widget, GdkEventButton* event, gpointer self);

  CWnd& dialog_;
  std::function<void(UINT)> sysCommand_;
  GtkWidget* window_ = nullptr;
  GtkWidget* icon_ = nullptr;
  GtkWidget* closeButton_ = nullptr;
  GtkWidget* menu_ = nullptr;
  bool enabled_ = true;
  bool dragArmed_ = false;
  int dragStartX_ = 0;
  int dragStartY_ = 0;
  std::vector<guint> pendingSources_;
};

}  // namespace fw::gtk
