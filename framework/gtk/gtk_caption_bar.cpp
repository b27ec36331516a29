// The dialog window's caption bar, drawn by the program on every desktop
// (icon, caption, close box; dragged to move), and the window menu it opens,
// rendered from CWnd::GetSystemMenu, whose choices are posted as on Windows.
#include <algorithm>
#include <string>

#include "framework/gtk/gtk_dialog_window.h"
#include "framework/gtk/gtk_icons.h"
#include "framework/menu.h"
#include "framework/sys_command.h"

namespace fw::gtk {

namespace {

// "&A" marks an access key in Win32 texts, "_A" in GTK's.
std::string ToGtkMnemonic(const std::string& text) {
  std::string converted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_') {
      converted += "__";
    } else if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
      converted += '&';
      ++i;
    } else if (text[i] == '&') {
      converted += '_';
    } else {
      converted += text[i];
    }
  }
  return converted;
}

// The close box's cross, drawn in the button's text colour rather than
// taken from the icon theme: loading the theme for this one glyph cost the
// dialog about a seventh of its start-up time and 1.7 MiB.
GtkWidget* CloseGlyph() {
  GtkWidget* glyph = gtk_drawing_area_new();
  gtk_widget_set_size_request(glyph, kSmallIconSize, kSmallIconSize);
  g_signal_connect(glyph, "draw", G_CALLBACK(+[](GtkWidget* widget, cairo_t* cr, gpointer) {
                     GdkRGBA colour;
                     GtkStyleContext* style = gtk_widget_get_style_context(widget);
                     gtk_style_context_get_color(style, gtk_style_context_get_state(style),
                                                 &colour);
                     gdk_cairo_set_source_rgba(cr, &colour);
                     const double x = gtk_widget_get_allocated_width(widget) / 2.0;
                     const double y = gtk_widget_get_allocated_height(widget) / 2.0;
                     constexpr double kArm = 4;
                     cairo_set_line_width(cr, 2);
                     cairo_move_to(cr, x - kArm, y - kArm);
                     cairo_line_to(cr, x + kArm, y + kArm);
                     cairo_move_to(cr, x + kArm, y - kArm);
                     cairo_line_to(cr, x - kArm, y + kArm);
                     cairo_stroke(cr);
                     return FALSE;
                   }),
                   nullptr);
  return glyph;
}

}  // namespace

GtkWidget* DialogWindow::BuildCaptionBar() {
  caption_ = gtk_event_box_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(caption_), "fw-caption");
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
  gtk_style_context_add_class(gtk_widget_get_style_context(row), "fw-caption-row");
  gtk_container_add(GTK_CONTAINER(caption_), row);

  // The icon is the system menu's button, as on Windows.
  GtkWidget* iconBox = gtk_event_box_new();
  captionIcon_ = gtk_image_new();
  gtk_widget_set_size_request(captionIcon_, kSmallIconSize, kSmallIconSize);
  gtk_container_add(GTK_CONTAINER(iconBox), captionIcon_);
  g_signal_connect(iconBox, "button-press-event", G_CALLBACK(OnIconPress), this);
  gtk_box_pack_start(GTK_BOX(row), iconBox, FALSE, FALSE, 0);

  GtkWidget* title = gtk_label_new(template_.caption.c_str());
  gtk_label_set_xalign(GTK_LABEL(title), 0.0f);
  gtk_label_set_ellipsize(GTK_LABEL(title), PANGO_ELLIPSIZE_END);
  gtk_box_pack_start(GTK_BOX(row), title, TRUE, TRUE, 0);

  if ((template_.style & WS_SYSMENU) != 0) {
    GtkWidget* close = gtk_button_new();
    gtk_container_add(GTK_CONTAINER(close), CloseGlyph());
    gtk_button_set_relief(GTK_BUTTON(close), GTK_RELIEF_NONE);
    gtk_widget_set_can_focus(close, FALSE);
    gtk_widget_set_valign(close, GTK_ALIGN_CENTER);
    closeButton_ = close;
    g_signal_connect(close, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                       static_cast<DialogWindow*>(self)->SysCommand(SC_CLOSE);
                     }),
                     this);
    gtk_box_pack_end(GTK_BOX(row), close, FALSE, FALSE, 0);
  }

  gtk_widget_add_events(caption_, GDK_BUTTON_MOTION_MASK | GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(caption_, "button-press-event", G_CALLBACK(OnCaptionPress), this);
  g_signal_connect(caption_, "motion-notify-event", G_CALLBACK(OnCaptionMotion), this);
  g_signal_connect(caption_, "button-release-event", G_CALLBACK(OnCaptionRelease), this);
  return caption_;
}

std::string DialogWindow::SystemMenuItemName(UINT id) {
  if (CMenu* menu = dialog_.GetSystemMenu(FALSE)) {
    for (const MenuItem& item : menu->Items()) {
      if (!item.IsSeparator() && item.id == id) {
        return MenuItemName(item.text);
      }
    }
  }
  return {};
}

// Menu choices arrive once the menu has closed, as WM_SYSCOMMAND is posted on
// Windows, so a handler may open a modal window of its own.
void DialogWindow::PostSysCommand(UINT id) {
  struct Posted {
    DialogWindow* self;
    UINT id;
  };
  auto* posted = new Posted{this, id};
  const guint source = g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      [](gpointer data) -> gboolean {
        auto* posted = static_cast<Posted*>(data);
        auto& sources = posted->self->pendingSources_;
        sources.erase(
            std::remove(sources.begin(), sources.end(), g_source_get_id(g_main_current_source())),
            sources.end());
        posted->self->SysCommand(posted->id);
        return G_SOURCE_REMOVE;
      },
      posted, [](gpointer data) { delete static_cast<Posted*>(data); });
  pendingSources_.push_back(source);
}

void DialogWindow::ShowSystemMenu() {
  PopupSystemMenu(nullptr);
}

void DialogWindow::PopupSystemMenu(const GdkEvent* trigger) {
  CMenu* model = dialog_.GetSystemMenu(FALSE);
  if (model == nullptr || !enabled_) {
    return;
  }
  if (menu_ != nullptr) {
    gtk_widget_destroy(menu_);
  }
  menu_ = gtk_menu_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(menu_), "fw-system-menu");
  gtk_menu_attach_to_widget(GTK_MENU(menu_), window_, nullptr);
  for (const MenuItem& item : model->Items()) {
    GtkWidget* entry = nullptr;
    if (item.IsSeparator()) {
      entry = gtk_separator_menu_item_new();
    } else {
      entry = gtk_menu_item_new();
      GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
      GtkWidget* text = gtk_label_new_with_mnemonic(ToGtkMnemonic(item.text).c_str());
      gtk_label_set_mnemonic_widget(GTK_LABEL(text), entry);
      gtk_label_set_xalign(GTK_LABEL(text), 0.0f);
      gtk_box_pack_start(GTK_BOX(row), text, TRUE, TRUE, 0);
      if (!item.accelerator.empty()) {
        GtkWidget* accel = gtk_label_new(item.accelerator.c_str());
        gtk_style_context_add_class(gtk_widget_get_style_context(accel), "accelerator");
        gtk_box_pack_end(GTK_BOX(row), accel, FALSE, FALSE, 0);
      }
      gtk_container_add(GTK_CONTAINER(entry), row);
      gtk_widget_set_sensitive(entry, item.IsEnabled());
      g_object_set_data(G_OBJECT(entry), "fw-id", GUINT_TO_POINTER(static_cast<guint>(item.id)));
      g_signal_connect(entry, "activate", G_CALLBACK(+[](GtkMenuItem* menuItem, gpointer self) {
                         static_cast<DialogWindow*>(self)->PostSysCommand(
                             GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(menuItem), "fw-id")));
                       }),
                       this);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu_), entry);
  }
  gtk_widget_show_all(menu_);
  const bool fromPointer = trigger != nullptr && trigger->type == GDK_BUTTON_PRESS &&
                           trigger->button.button == GDK_BUTTON_SECONDARY;
  if (fromPointer) {
    gtk_menu_popup_at_pointer(GTK_MENU(menu_), trigger);
  } else {
    GtkWidget* anchor = captionIcon_ != nullptr ? captionIcon_ : window_;
    gtk_menu_popup_at_widget(GTK_MENU(menu_), anchor, GDK_GRAVITY_SOUTH_WEST,
                             GDK_GRAVITY_NORTH_WEST, trigger);
  }
  if (trigger == nullptr) {
    gtk_menu_shell_select_first(GTK_MENU_SHELL(menu_), FALSE);
  }
}

gboolean DialogWindow::OnCaptionPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<DialogWindow*>(data);
  if (event->type != GDK_BUTTON_PRESS || !self->enabled_) {
    return FALSE;
  }
  if (event->button == GDK_BUTTON_SECONDARY) {
    self->PopupSystemMenu(reinterpret_cast<GdkEvent*>(event));
    return TRUE;
  }
  if (event->button == GDK_BUTTON_PRIMARY) {
    // A drag moves the window, but only once the pointer has really moved:
    // a window manager that starts a move on a plain click may keep the
    // keyboard grabbed after it.
    self->dragArmed_ = true;
    self->dragStartX_ = static_cast<int>(event->x_root);
    self->dragStartY_ = static_cast<int>(event->y_root);
    return TRUE;
  }
  return FALSE;
}

gboolean DialogWindow::OnCaptionMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
  auto* self = static_cast<DialogWindow*>(data);
  if (!self->dragArmed_ || (event->state & GDK_BUTTON1_MASK) == 0) {
    self->dragArmed_ = false;
    return FALSE;
  }
  if (!gtk_drag_check_threshold(widget, self->dragStartX_, self->dragStartY_,
                                static_cast<int>(event->x_root), static_cast<int>(event->y_root))) {
    return TRUE;
  }
  self->dragArmed_ = false;
  gtk_window_begin_move_drag(GTK_WINDOW(self->window_), GDK_BUTTON_PRIMARY, self->dragStartX_,
                             self->dragStartY_, event->time);
  return TRUE;
}

gboolean DialogWindow::OnCaptionRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button == GDK_BUTTON_PRIMARY) {
    static_cast<DialogWindow*>(data)->dragArmed_ = false;
  }
  return FALSE;
}

gboolean DialogWindow::OnIconPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->type == GDK_BUTTON_PRESS &&
      (event->button == GDK_BUTTON_PRIMARY || event->button == GDK_BUTTON_SECONDARY)) {
    static_cast<DialogWindow*>(data)->PopupSystemMenu(reinterpret_cast<GdkEvent*>(event));
    return TRUE;
  }
  return FALSE;
}

}  // namespace fw::gtk
