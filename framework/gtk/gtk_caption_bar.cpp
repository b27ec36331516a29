#include "framework/gtk/gtk_caption_bar.h"

#include <algorithm>
#include <utility>

#include "framework/gtk/gtk_icons.h"
#include "framework/menu.h"
#include "framework/sys_command.h"
#include "framework/wnd.h"

namespace fw::gtk {

namespace {

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

CaptionBar::CaptionBar(CWnd& dialog, std::function<void(UINT)> sysCommand)
    : dialog_(dialog), sysCommand_(std::move(sysCommand)) {}

CaptionBar::~CaptionBar() {
  for (guint source : pendingSources_) {
    g_source_remove(source);
  }
  if (menu_ != nullptr) {
    gtk_widget_destroy(menu_);
  }
}

GtkWidget* CaptionBar::Build(GtkWidget* window, const DialogTemplate& dialogTemplate) {
  window_ = window;
  if ((dialogTemplate.style & WS_CAPTION) != WS_CAPTION) {
    return nullptr;
  }
  GtkWidget* bar = gtk_event_box_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(bar), "fw-caption");
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
  gtk_style_context_add_class(gtk_widget_get_style_context(row), "fw-caption-row");
  gtk_container_add(GTK_CONTAINER(bar), row);

  // The icon is the system menu's button, as on Windows.
  GtkWidget* iconBox = gtk_event_box_new();
  icon_ = gtk_image_new();
  gtk_widget_set_size_request(icon_, kSmallIconSize, kSmallIconSize);
  gtk_container_add(GTK_CONTAINER(iconBox), icon_);
  g_signal_connect(iconBox, "button-press-event", G_CALLBACK(OnIconPress), this);
  gtk_box_pack_start(GTK_BOX(row), iconBox, FALSE, FALSE, 0);

  GtkWidget* title = gtk_label_new(dialogTemplate.caption.c_str());
  gtk_label_set_xalign(GTK_LABEL(title), 0.0f);
  gtk_label_set_ellipsize(GTK_LABEL(title), PANGO_ELLIPSIZE_END);
  gtk_box_pack_start(GTK_BOX(row), title, TRUE, TRUE, 0);

  if ((dialogTemplate.style & WS_SYSMENU) != 0) {
    closeButton_ = gtk_button_new();
    gtk_container_add(GTK_CONTAINER(closeButton_), CloseGlyph());
    gtk_button_set_relief(GTK_BUTTON(closeButton_), GTK_RELIEF_NONE);
    gtk_widget_set_can_focus(closeButton_, FALSE);
    gtk_widget_set_valign(closeButton_, GTK_ALIGN_CENTER);
    g_signal_connect(closeButton_, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                       static_cast<CaptionBar*>(self)->sysCommand_(SC_CLOSE);
                     }),
                     this);
    gtk_box_pack_end(GTK_BOX(row), closeButton_, FALSE, FALSE, 0);
  }

  gtk_widget_add_events(bar, GDK_BUTTON_MOTION_MASK | GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(bar, "button-press-event", G_CALLBACK(OnPress), this);
  g_signal_connect(bar, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(bar, "button-release-event", G_CALLBACK(OnRelease), this);
  return bar;
}

void CaptionBar::NameCloseBox() {
  if (closeButton_ != nullptr) {
    atk_object_set_name(gtk_widget_get_accessible(closeButton_),
                        SystemMenuItemName(SC_CLOSE).c_str());
  }
}

void CaptionBar::SetIcon(HICON icon) {
  if (icon_ != nullptr) {
    SetImageFromIcon(icon_, icon, kSmallIconSize);
  }
}

void CaptionBar::Enable(bool enable) {
  enabled_ = enable;
  if (closeButton_ != nullptr) {
    gtk_widget_set_sensitive(closeButton_, enable);
  }
}

std::string CaptionBar::SystemMenuItemName(UINT id) {
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
void CaptionBar::PostSysCommand(UINT id) {
  struct Posted {
    CaptionBar* self;
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
        posted->self->sysCommand_(posted->id);
        return G_SOURCE_REMOVE;
      },
      posted, [](gpointer data) { delete static_cast<Posted*>(data); });
  pendingSources_.push_back(source);
}

void CaptionBar::ShowSystemMenu(const GdkEvent* trigger) {
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
      GtkWidget* text = gtk_label_new_with_mnemonic(MenuTextWithMarker(item.text, '_').c_str());
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
                         static_cast<CaptionBar*>(self)->PostSysCommand(
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
    GtkWidget* anchor = icon_ != nullptr ? icon_ : window_;
    gtk_menu_popup_at_widget(GTK_MENU(menu_), anchor, GDK_GRAVITY_SOUTH_WEST,
                             GDK_GRAVITY_NORTH_WEST, trigger);
  }
  if (trigger == nullptr) {
    gtk_menu_shell_select_first(GTK_MENU_SHELL(menu_), FALSE);
  }
}

gboolean CaptionBar::OnPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<CaptionBar*>(data);
  if (event->type != GDK_BUTTON_PRESS || !self->enabled_) {
    return FALSE;
  }
  if (event->button == GDK_BUTTON_SECONDARY) {
    self->ShowSystemMenu(reinterpret_cast<GdkEvent*>(event));
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

gboolean CaptionBar::OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
  auto* self = static_cast<CaptionBar*>(data);
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

gboolean CaptionBar::OnRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button == GDK_BUTTON_PRIMARY) {
    static_cast<CaptionBar*>(data)->dragArmed_ = false;
  }
  return FALSE;
}

gboolean CaptionBar::OnIconPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->type == GDK_BUTTON_PRESS &&
      (event->button == GDK_BUTTON_PRIMARY || event->button == GDK_BUTTON_SECONDARY)) {
    static_cast<CaptionBar*>(data)->ShowSystemMenu(reinterpret_cast<GdkEvent*>(event));
    return TRUE;
  }
  return FALSE;
}

}  // namespace fw::gtk
