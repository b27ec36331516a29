#include "framework/gtk/gtk_message_box.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/dialog_keys.h"
#include "framework/dialog_template.h"
#include "framework/dialog_units.h"
#include "framework/gtk/gobject_ptr.h"
#include "framework/gtk/gtk_dialog_font.h"
#include "framework/gtk/gtk_dialog_style.h"
#include "framework/gtk/gtk_dialog_window.h"
#include "framework/gtk/gtk_icons.h"
#include "framework/menu.h"
#include "framework/wnd.h"

namespace fw::gtk {

namespace {

// What a dialog template keeps between its edges and its controls; the main
// dialog's texts start there too.
constexpr int kMarginUnits = 7;
// A message box's push buttons, as Windows sizes and spaces them.
constexpr int kButtonWidthUnits = 50;
constexpr int kButtonHeightUnits = 14;
constexpr int kButtonGapUnits = 4;
// The text wraps at half the screen's width: room for a long path on a few
// lines, and the box well inside any screen.
constexpr int kTextShareOfScreen = 2;

struct Box {
  std::vector<std::pair<int, std::string>> buttons;
  int closeResult = IDOK;  // Esc and the close box
  int result = IDOK;
  ToolkitPtr<GMainLoop, g_main_loop_unref> loop;

  void Answer(int id) {
    result = id;
    g_main_loop_quit(loop.get());
  }
};

void OnClicked(GtkButton* button, gpointer data) {
  static_cast<Box*>(data)->Answer(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "fw-id")));
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto* box = static_cast<Box*>(data);
  box->Answer(box->closeResult);
  return TRUE;
}

// Enter and Space press the focused button (GTK's own keys); Esc closes;
// a button's access letter presses it, with or without Alt.
gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* box = static_cast<Box*>(data);
  const unsigned modifiers = ModifiersOf(event);
  if (event->keyval == GDK_KEY_Escape && (modifiers & (kControl | kAlt)) == 0) {
    box->Answer(box->closeResult);
    return TRUE;
  }
  const int id = AccessKeyButton(gdk_keyval_to_unicode(event->keyval), modifiers, box->buttons);
  if (id == 0) {
    return FALSE;
  }
  box->Answer(id);
  return TRUE;
}

// The work area of the owner's monitor, or of the primary one.
GdkRectangle WorkArea(GtkWindow* owner) {
  GdkDisplay* display = gdk_display_get_default();
  GdkWindow* ownerWindow = owner != nullptr ? gtk_widget_get_window(GTK_WIDGET(owner)) : nullptr;
  GdkMonitor* monitor = ownerWindow != nullptr
                            ? gdk_display_get_monitor_at_window(display, ownerWindow)
                            : gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) {
    monitor = gdk_display_get_monitor(display, 0);
  }
  GdkRectangle area{0, 0, 1024, 768};
  if (monitor != nullptr) {
    gdk_monitor_get_workarea(monitor, &area);
  }
  return area;
}

// GtkLabel caps a wrapping text's width in characters of this many pixels.
int LabelCharWidth(PangoContext* context, const std::string& family, int pointSize) {
  const ToolkitPtr<PangoFontDescription, pango_font_description_free> font(
      pango_font_description_new());
  pango_font_description_set_family(font.get(), family.c_str());
  pango_font_description_set_size(font.get(), pointSize * PANGO_SCALE);
  const ToolkitPtr<PangoFontMetrics, pango_font_metrics_unref> metrics(
      pango_context_get_metrics(context, font.get(), nullptr));
  const int width = std::max(pango_font_metrics_get_approximate_char_width(metrics.get()),
                             pango_font_metrics_get_approximate_digit_width(metrics.get()));
  return std::max(1, PANGO_PIXELS_CEIL(width));
}

}  // namespace

int RunMessageBox(DialogWindow* owner, const std::string& caption, const std::string& text,
                  UINT type) {
  Box box;
  const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
  // Windows' Japanese labels in any locale, each with its access key.
  box.buttons = yesNo ? decltype(box.buttons){{IDYES, "はい(&Y)"}, {IDNO, "いいえ(&N)"}}
                      : decltype(box.buttons){{IDOK, "OK"}};
  // Closing a question any other way is the safe answer.
  box.closeResult = yesNo ? IDNO : IDOK;
  const int byDefault = yesNo && (type & MB_DEFMASK) == MB_DEFBUTTON2 ? IDNO : box.buttons[0].first;
  GtkWindow* ownerWindow = owner != nullptr ? owner->Window() : nullptr;

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), caption.c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_modal(GTK_WINDOW(window), TRUE);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_transient_for(GTK_WINDOW(window), ownerWindow);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window), ownerWindow != nullptr);
  gtk_window_set_position(GTK_WINDOW(window), ownerWindow != nullptr ? GTK_WIN_POS_CENTER_ON_PARENT
                                                                     : GTK_WIN_POS_CENTER);
  atk_object_set_role(gtk_widget_get_accessible(window), ATK_ROLE_ALERT);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), &box);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), &box);

  // The owner's font and units; a box of no window takes the dialog font's.
  DialogTemplate look;
  if (owner != nullptr) {
    look.font = owner->Font();
  }
  const std::string family = ResolveDialogFontFamily(look.font.face);
  PangoContext* pango = gtk_widget_get_pango_context(window);
  const DialogBaseUnits units =
      owner != nullptr ? owner->BaseUnits() : MeasureBaseUnits(pango, family, look.font.pointSize);
  GObjectPtr<GtkCssProvider> css = ApplyDialogStyle(window, look, family);

  const int marginX = DialogXToPixels(kMarginUnits, units);
  const int marginY = DialogYToPixels(kMarginUnits, units);
  GtkWidget* client = gtk_box_new(GTK_ORIENTATION_VERTICAL, marginY);
  gtk_style_context_add_class(gtk_widget_get_style_context(client), "fw-client");
  gtk_container_add(GTK_CONTAINER(window), client);
  GtkWidget* message = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, marginX);
  gtk_widget_set_margin_start(message, marginX);
  gtk_widget_set_margin_end(message, marginX);
  gtk_widget_set_margin_top(message, marginY);
  gtk_box_pack_start(GTK_BOX(client), message, TRUE, TRUE, 0);

  const UINT icon = type & MB_ICONMASK;
  if (icon == MB_ICONERROR || icon == MB_ICONQUESTION) {
    GtkWidget* image = gtk_image_new_from_icon_name(
        icon == MB_ICONERROR ? "dialog-error" : "dialog-question", GTK_ICON_SIZE_DIALOG);
    gtk_image_set_pixel_size(GTK_IMAGE(image), kBigIconSize);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(message), image, FALSE, FALSE, 0);
  }
  // A path in the text may not be UTF-8 (file names are bytes here).
  const ToolkitPtr<gchar, g_free> shown(
      g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size())));
  GtkWidget* label = gtk_label_new(shown.get());
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  // Anywhere, not only between words: a path has no spaces to wrap at. A
  // hyphen at such a break would read as part of the name.
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  const ToolkitPtr<PangoAttrList, pango_attr_list_unref> attributes(pango_attr_list_new());
  pango_attr_list_insert(attributes.get(), pango_attr_insert_hyphens_new(FALSE));
  gtk_label_set_attributes(GTK_LABEL(label), attributes.get());
  gtk_label_set_max_width_chars(GTK_LABEL(label),
                                WorkArea(ownerWindow).width / kTextShareOfScreen /
                                    LabelCharWidth(pango, family, look.font.pointSize));
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_widget_set_valign(label, GTK_ALIGN_CENTER);
  gtk_box_pack_start(GTK_BOX(message), label, TRUE, TRUE, 0);

  GtkWidget* buttons =
      gtk_box_new(GTK_ORIENTATION_HORIZONTAL, DialogXToPixels(kButtonGapUnits, units));
  gtk_widget_set_halign(buttons, GTK_ALIGN_CENTER);
  gtk_widget_set_margin_bottom(buttons, marginY);
  gtk_box_pack_start(GTK_BOX(client), buttons, FALSE, FALSE, 0);
  for (const auto& [id, text] : box.buttons) {
    GtkWidget* button = gtk_button_new_with_mnemonic(MenuTextWithMarker(text, '_').c_str());
    gtk_widget_set_size_request(button, DialogXToPixels(kButtonWidthUnits, units),
                                DialogYToPixels(kButtonHeightUnits, units));
    g_object_set_data(G_OBJECT(button), "fw-id", GINT_TO_POINTER(id));
    g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), &box);
    gtk_box_pack_start(GTK_BOX(buttons), button, FALSE, FALSE, 0);
    if (id == byDefault) {
      // Enter presses the focused button, as in Windows' message boxes.
      gtk_window_set_focus(GTK_WINDOW(window), button);
    }
  }

  // The owner takes no input while the message is up, as on Windows.
  const bool wasEnabled = owner != nullptr && owner->IsEnabled();
  if (wasEnabled) {
    owner->Enable(false);
  }
  box.loop.reset(g_main_loop_new(nullptr, FALSE));
  gtk_widget_show_all(window);
  gtk_window_present(GTK_WINDOW(window));
  g_main_loop_run(box.loop.get());
  gtk_widget_destroy(window);
  RemoveDialogStyle(css);
  if (wasEnabled) {
    owner->Enable(true);
  }
  return box.result;
}

}  // namespace fw::gtk
