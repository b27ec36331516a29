#include "framework/gtk/gtk_dialog_window.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <string>

#include "framework/dialog_font.h"
#include "framework/gtk/gtk_display.h"
#include "framework/gtk/gtk_icons.h"
#include "framework/menu.h"
#include "framework/platform.h"
#include "framework/resources.h"
#include "framework/sys_command.h"

namespace fw::gtk {

namespace {

constexpr int kSmallIconSize = 16;
constexpr int kBigIconSize = 32;
constexpr int kKeyboardMoveStep = 8;

// Fontconfig knows every name of a family, in every language; Pango lists
// one, in the locale's language ("IPA Pゴシック" under ja_JP).
bool FontconfigHasFamily(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  const bool found = fonts != nullptr && fonts->nfont > 0;
  if (fonts != nullptr) {
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

// An image drawn at `size` logical pixels on a screen of `scale` device
// pixels each: the icon's image for size × scale, so that nothing is
// upscaled while a sharper one exists.
cairo_surface_t* IconSurface(HICON icon, int size, int scale, GdkWindow* window) {
  GdkPixbuf* image = icon != nullptr ? icon->ImageForSize(size * scale) : nullptr;
  if (image == nullptr) {
    return nullptr;
  }
  const int device = size * scale;
  if (gdk_pixbuf_get_width(image) == device && gdk_pixbuf_get_height(image) == device) {
    return gdk_cairo_surface_create_from_pixbuf(image, scale, window);
  }
  GdkPixbuf* scaled = gdk_pixbuf_scale_simple(image, device, device, GDK_INTERP_HYPER);
  cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(scaled, scale, window);
  g_object_unref(scaled);
  return surface;
}

void SetImageFromIcon(GtkWidget* image, HICON icon, int size) {
  cairo_surface_t* surface =
      IconSurface(icon, size, gtk_widget_get_scale_factor(image), gtk_widget_get_window(image));
  gtk_image_set_from_surface(GTK_IMAGE(image), surface);
  if (surface != nullptr) {
    cairo_surface_destroy(surface);
  }
}

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

GdkModifierType Modifiers(const GdkEventKey* event) {
  return static_cast<GdkModifierType>(event->state & gtk_accelerator_get_default_mod_mask());
}

}  // namespace

std::string ResolveDialogFontFamily(const std::string& templateFace) {
  for (const std::string& candidate : DialogFontCandidates(templateFace)) {
    if (FontconfigHasFamily(candidate)) {
      return candidate;
    }
  }
  return "Sans";
}

DialogBaseUnits MeasureBaseUnits(PangoContext* context, const std::string& family, int pointSize) {
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, family.c_str());
  pango_font_description_set_size(font, pointSize * PANGO_SCALE);

  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, kBaseUnitSample, -1);
  int width = 0;
  pango_layout_get_pixel_size(layout, &width, nullptr);
  g_object_unref(layout);

  // The font's own height (ascent + descent), as Windows' tmHeight, not the
  // line height a layout would add up to.
  PangoFontMetrics* metrics = pango_context_get_metrics(context, font, nullptr);
  const int height = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics) +
                                  pango_font_metrics_get_descent(metrics));
  pango_font_metrics_unref(metrics);
  pango_font_description_free(font);
  return BaseUnitsFromFont(width, height);
}

// WM_PAINT's device context: the cairo context of the draw signal.
class DialogWindow::CairoPaintContext final : public PaintContext {
 public:
  CairoPaintContext(cairo_t* cr, GtkWidget* widget) : cr_(cr), widget_(widget) {}

  void DrawIcon(int x, int y, HICON icon) override {
    cairo_surface_t* image =
        IconSurface(icon, fw::GetSystemMetrics(SM_CXICON), gtk_widget_get_scale_factor(widget_),
                    gtk_widget_get_window(widget_));
    if (image == nullptr) {
      return;
    }
    cairo_save(cr_);
    cairo_set_source_surface(cr_, image, x, y);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_surface_destroy(image);
  }

  void EraseBackground() override {
    GtkAllocation area;
    gtk_widget_get_allocation(widget_, &area);
    gtk_render_background(gtk_widget_get_style_context(widget_), cr_, 0, 0, area.width,
                          area.height);
  }

 private:
  cairo_t* cr_;
  GtkWidget* widget_;
};

DialogWindow::DialogWindow(CDialog& dialog, const DialogTemplate& dialogTemplate, CWnd* owner)
    : dialog_(dialog), template_(dialogTemplate), owner_(owner) {}

DialogWindow::~DialogWindow() {
  for (guint source : pendingSources_) {
    g_source_remove(source);
  }
  if (menu_ != nullptr) {
    gtk_widget_destroy(menu_);
  }
  if (window_ != nullptr) {
    gtk_widget_destroy(window_);
  }
  if (css_ != nullptr) {
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(),
                                                 GTK_STYLE_PROVIDER(css_));
    g_object_unref(css_);
  }
  if (loop_ != nullptr) {
    g_main_loop_unref(loop_);
  }
}

void DialogWindow::Build() {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window_), template_.caption.c_str());
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_),
                                   (template_.exStyle & WS_EX_APPWINDOW) == 0 && owner_ != nullptr);
  if (owner_ != nullptr) {
    if (auto* ownerWindow = dynamic_cast<DialogWindow*>(owner_->Peer())) {
      gtk_window_set_transient_for(GTK_WINDOW(window_), ownerWindow->Window());
    }
  }

  // A screen reader announces it as a dialog, named by its caption.
  atk_object_set_role(gtk_widget_get_accessible(window_), ATK_ROLE_DIALOG);

  PangoContext* pango = gtk_widget_get_pango_context(window_);
  const std::string family = ResolveDialogFontFamily(template_.font.face);
  units_ = MeasureBaseUnits(pango, family, template_.font.pointSize);
  clientWidth_ = DialogXToPixels(template_.cx, units_);
  clientHeight_ = DialogYToPixels(template_.cy, units_);
  ApplyStyle(family);

  // The frame is all ours (caption bar and a thin border), not the window
  // manager's and not GTK's client-side decorations: it looks the same
  // everywhere and the window's size is exact before it is first shown.
  gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
  GtkWidget* frame = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_style_context_add_class(gtk_widget_get_style_context(frame), "fw-frame");
  gtk_container_add(GTK_CONTAINER(window_), frame);
  if ((template_.style & WS_CAPTION) == WS_CAPTION) {
    gtk_box_pack_start(GTK_BOX(frame), BuildCaptionBar(), FALSE, FALSE, 0);
  }

  // On X11 the client area has a native window of its own, so that its size
  // is the template's exactly and can be read from outside. (On Wayland a
  // native child does not draw.)
  client_ = gtk_event_box_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(client_), "fw-client");
  gtk_widget_set_size_request(client_, clientWidth_, clientHeight_);
  g_signal_connect(client_, "realize", G_CALLBACK(OnClientRealize), this);
  g_signal_connect(client_, "draw", G_CALLBACK(OnDraw), this);
  GtkWidget* fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(client_), fixed);
  gtk_box_pack_start(GTK_BOX(frame), client_, FALSE, FALSE, 0);

  for (const DialogItemTemplate& item : template_.items) {
    GtkWidget* widget = BuildControl(item);
    if (widget == nullptr) {
      continue;
    }
    const CRect rect = DialogRectToPixels(item.x, item.y, item.cx, item.cy, units_);
    if (!item.IsIcon()) {
      gtk_widget_set_size_request(widget, rect.Width(), rect.Height());
    }
    gtk_fixed_put(GTK_FIXED(fixed), widget, rect.left, rect.top);
    controls_.push_back({widget, &item});
  }

  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
  g_signal_connect_swapped(window_, "notify::scale-factor",
                           G_CALLBACK(+[](DialogWindow* self) { self->UpdateIcons(); }), this);

  // Everything but the window itself is shown now, so that the window's size
  // is known when OnInitDialog and the centring ask for it.
  gtk_widget_show_all(frame);
}

void DialogWindow::ApplyStyle(const std::string& fontFamily) {
  // Scoped to this dialog's window so that other windows keep the theme.
  const std::string scope = "window.fw-dialog-" + std::to_string(template_.id);
  gtk_style_context_add_class(gtk_widget_get_style_context(window_),
                              ("fw-dialog-" + std::to_string(template_.id)).c_str());
  const std::string font = "font-family: \"" + fontFamily +
                           "\"; font-size: " + std::to_string(template_.font.pointSize) + "pt;" +
                           (template_.font.weight >= 600 ? " font-weight: bold;" : "") +
                           (template_.font.italic ? " font-style: italic;" : "");
  const std::string css =
      scope + " .fw-client, " + scope + " .fw-client *, " + scope + " .fw-caption * { " + font +
      " }\n" + scope + " .fw-frame { border: 1px solid @borders; }\n" + scope +
      " .fw-caption { background-color: shade(@theme_bg_color, 0.9); "
      "border-bottom: 1px solid @borders; }\n" +
      // In em, so that the text keeps clear of the bar's edges at any font
      // scale. (The event box round the row ignores padding.)
      scope + " .fw-caption-row { padding: 0.25em 0.2em 0.25em 0.3em; }\n" + scope +
      " .fw-caption button { min-height: 0; min-width: 0; padding: 1px; margin: 0; }\n" + scope +
      " .fw-client button { min-height: 0; min-width: 0; padding: 0 2px; }\n" + scope +
      " .fw-client button.fw-default { border-color: #1c71d8; "
      "box-shadow: inset 0 0 0 1px #1c71d8; }\n" +
      scope + " .fw-client label { padding: 0; margin: 0; }\n" +
      // The client area has a window of its own, so it paints the dialog's
      // background itself.
      scope + " .fw-client { background-color: @theme_bg_color; }\n";
  css_ = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css_, css.c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css_),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

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
    GtkWidget* close = gtk_button_new_from_icon_name("window-close-symbolic", GTK_ICON_SIZE_MENU);
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

GtkWidget* DialogWindow::BuildControl(const DialogItemTemplate& item) {
  const bool noPrefix = (item.style & SS_NOPREFIX) != 0;
  if (item.IsPushButton()) {
    GtkWidget* button = gtk_button_new_with_label(MenuDisplayText(item.text).c_str());
    gtk_widget_set_can_default(button, TRUE);
    gtk_widget_set_can_focus(button, item.IsTabStop());
    g_object_set_data(G_OBJECT(button), "fw-id", GINT_TO_POINTER(item.id));
    g_signal_connect(button, "clicked", G_CALLBACK(OnButtonClicked), this);
    g_signal_connect(button, "focus-in-event", G_CALLBACK(OnButtonFocusIn), this);
    if (item.IsDefaultButton() && templateDefault_ == nullptr) {
      templateDefault_ = button;
    }
    return button;
  }
  if (item.IsIcon()) {
    GtkWidget* widget = gtk_image_new();
    const HICON icon = CurrentPlatform().LoadIcon(item.iconId);
    iconStatics_.push_back({widget, icon});
    SetImageFromIcon(widget, icon, kBigIconSize);
    gtk_widget_set_size_request(widget, kBigIconSize, kBigIconSize);
    gtk_widget_set_halign(widget, GTK_ALIGN_START);
    gtk_widget_set_valign(widget, GTK_ALIGN_START);
    return widget;
  }
  if (item.IsText()) {
    const std::string text = noPrefix ? item.text : MenuDisplayText(item.text);
    GtkWidget* label = gtk_label_new(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
    return label;
  }
  return nullptr;
}

INT_PTR DialogWindow::Run() {
  Build();
  dialog_.AttachPeer(this, (template_.style & WS_SYSMENU) != 0);
  if (closeButton_ != nullptr) {
    // Named as the window menu names the same command.
    atk_object_set_name(gtk_widget_get_accessible(closeButton_),
                        SystemMenuItemName(SC_CLOSE).c_str());
  }
  const BOOL focusFirst = dialog_.RunInitDialog(owner_);

  if (!ended_) {
    if (templateDefault_ != nullptr) {
      gtk_widget_grab_default(templateDefault_);
      MarkDefault(templateDefault_);
    }
    if (focusFirst) {
      MoveFocus(+1);
    }
    gtk_widget_show(window_);
    gtk_window_present(GTK_WINDOW(window_));
    loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
  }

  gtk_widget_hide(window_);
  dialog_.DetachPeer();
  return result_;
}

bool DialogWindow::IsIconic() const {
  GdkWindow* window = gtk_widget_get_window(window_);
  return window != nullptr && (gdk_window_get_state(window) & GDK_WINDOW_STATE_ICONIFIED) != 0;
}

CRect DialogWindow::GetClientRect() const {
  return {0, 0, clientWidth_, clientHeight_};
}

CRect DialogWindow::GetWindowRect() const {
  int x = 0;
  int y = 0;
  gtk_window_get_position(GTK_WINDOW(window_), &x, &y);
  int width = 0;
  int height = 0;
  if (gtk_widget_get_mapped(window_)) {
    gtk_window_get_size(GTK_WINDOW(window_), &width, &height);
  } else {
    GtkRequisition natural;
    gtk_widget_get_preferred_size(window_, nullptr, &natural);
    width = natural.width;
    height = natural.height;
  }
  return {x, y, x + width, y + height};
}

void DialogWindow::MoveTo(int left, int top) {
  gtk_window_move(GTK_WINDOW(window_), left, top);
}

CRect DialogWindow::GetWorkArea() const {
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkMonitor* monitor = nullptr;
  if (GdkWindow* window = gtk_widget_get_window(window_);
      window != nullptr && gtk_widget_get_mapped(window_)) {
    monitor = gdk_display_get_monitor_at_window(display, window);
  }
  if (monitor == nullptr) {
    monitor = gdk_display_get_primary_monitor(display);
  }
  if (monitor == nullptr) {
    monitor = gdk_display_get_monitor(display, 0);
  }
  if (monitor == nullptr) {
    return {0, 0, 0, 0};
  }
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  return {area.x, area.y, area.x + area.width, area.y + area.height};
}

HICON DialogWindow::SetIcon(WPARAM which, HICON icon) {
  HICON& slot = which == ICON_BIG ? bigIcon_ : smallIcon_;
  HICON previous = slot;
  slot = icon;
  UpdateIcons();
  return previous;
}

void DialogWindow::UpdateIcons() {
  GList* list = nullptr;
  GdkPixbuf* small = smallIcon_ != nullptr ? smallIcon_->ImageForSize(kSmallIconSize) : nullptr;
  GdkPixbuf* big = bigIcon_ != nullptr ? bigIcon_->ImageForSize(kBigIconSize) : nullptr;
  if (small != nullptr) {
    list = g_list_append(list, small);
  }
  if (big != nullptr && big != small) {
    list = g_list_append(list, big);
  }
  gtk_window_set_icon_list(GTK_WINDOW(window_), list);
  g_list_free(list);
  if (captionIcon_ != nullptr) {
    SetImageFromIcon(captionIcon_, smallIcon_ != nullptr ? smallIcon_ : bigIcon_, kSmallIconSize);
  }
  for (const IconStatic& icon : iconStatics_) {
    SetImageFromIcon(icon.widget, icon.icon, kBigIconSize);
  }
}

// A disabled window takes no input (keys are dropped in OnKeyPress); its
// buttons also say so to assistive technologies, whose presses then fail.
void DialogWindow::Enable(bool enable) {
  if (enable == enabled_) {
    return;
  }
  enabled_ = enable;
  GtkWidget* focus = enable ? nullptr : gtk_window_get_focus(GTK_WINDOW(window_));
  for (const Control& control : controls_) {
    if (control.item->IsPushButton()) {
      gtk_widget_set_sensitive(control.widget, enable);
    }
  }
  if (closeButton_ != nullptr) {
    gtk_widget_set_sensitive(closeButton_, enable);
  }
  if (enable && focusWhileDisabled_ != nullptr) {
    gtk_widget_grab_focus(focusWhileDisabled_);
  }
  focusWhileDisabled_ = focus;
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

void DialogWindow::EndModalLoop(int result) {
  result_ = result;
  ended_ = true;
  if (loop_ != nullptr && g_main_loop_is_running(loop_)) {
    g_main_loop_quit(loop_);
  }
}

PaintContext* DialogWindow::BeginPaint() {
  return paint_.get();
}

void DialogWindow::EndPaint(PaintContext*) {}

void DialogWindow::Command(int id) {
  if (enabled_) {
    dialog_.DeliverMessage(WM_COMMAND, static_cast<WPARAM>(id), 0);
  }
}

void DialogWindow::SysCommand(UINT id) {
  if (enabled_) {
    dialog_.DeliverMessage(WM_SYSCOMMAND, id, 0);
  }
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

const DialogWindow::Control* DialogWindow::FocusedButton() const {
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
  for (const Control& control : controls_) {
    if (control.widget == focus && control.item->IsPushButton()) {
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
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
  const auto current = std::find(stops.begin(), stops.end(), focus);
  std::size_t next = 0;
  if (current == stops.end()) {
    next = step > 0 ? 0 : stops.size() - 1;
  } else {
    const auto index = static_cast<std::ptrdiff_t>(current - stops.begin());
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    next = static_cast<std::size_t>(((index + step) % count + count) % count);
  }
  gtk_widget_grab_focus(stops[next]);
}

// The push button with the focus is the one Enter presses, and is drawn so.
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

bool DialogWindow::HandleMoveKey(guint keyval) {
  int x = 0;
  int y = 0;
  gtk_window_get_position(GTK_WINDOW(window_), &x, &y);
  switch (keyval) {
    case GDK_KEY_Left:
      x -= kKeyboardMoveStep;
      break;
    case GDK_KEY_Right:
      x += kKeyboardMoveStep;
      break;
    case GDK_KEY_Up:
      y -= kKeyboardMoveStep;
      break;
    case GDK_KEY_Down:
      y += kKeyboardMoveStep;
      break;
    case GDK_KEY_Escape:
      moving_ = false;
      x = moveStartX_;
      y = moveStartY_;
      break;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      moving_ = false;
      return true;
    default:
      return true;  // other keys are swallowed while moving
  }
  gtk_window_move(GTK_WINDOW(window_), x, y);
  return true;
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

gboolean DialogWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<DialogWindow*>(data);
  // A modal dialog's grab hands it keys typed into its owner; those belong to
  // a disabled window and are dropped, as Windows drops them.
  const bool ours = event->window != nullptr &&
                    gdk_window_get_toplevel(event->window) == gtk_widget_get_window(self->window_);
  if (!self->enabled_ || !ours) {
    return TRUE;
  }
  if (self->moving_) {
    return self->HandleMoveKey(event->keyval);
  }
  const GdkModifierType modifiers = Modifiers(event);
  const bool plain = (modifiers & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) == 0;
  switch (event->keyval) {
    case GDK_KEY_Escape:
      if (plain) {
        self->Command(IDCANCEL);
        return TRUE;
      }
      break;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      if (plain) {
        const Control* focused = self->FocusedButton();
        int id = IDOK;
        if (focused != nullptr) {
          id = focused->item->id;
        } else if (self->templateDefault_ != nullptr) {
          id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(self->templateDefault_), "fw-id"));
        }
        self->Command(id);
        return TRUE;
      }
      break;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab:
      if (plain) {
        const bool back =
            event->keyval == GDK_KEY_ISO_Left_Tab || (modifiers & GDK_SHIFT_MASK) != 0;
        self->MoveFocus(back ? -1 : +1);
        return TRUE;
      }
      break;
    case GDK_KEY_F1:
      if (plain) {
        self->Command(static_cast<int>(ID_HELP));
        return TRUE;
      }
      break;
    case GDK_KEY_F4:
      if (modifiers == GDK_MOD1_MASK) {
        self->SysCommand(SC_CLOSE);
        return TRUE;
      }
      break;
    case GDK_KEY_space:
      if (modifiers == GDK_MOD1_MASK) {
        self->SysCommand(SC_KEYMENU);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

gboolean DialogWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<DialogWindow*>(data)->SysCommand(SC_CLOSE);
  return TRUE;  // the dialog decides; the window stays until EndDialog
}

gboolean DialogWindow::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  auto* self = static_cast<DialogWindow*>(data);
  self->paint_ = std::make_unique<CairoPaintContext>(cr, widget);
  self->dialog_.DeliverMessage(WM_PAINT, 0, 0);
  self->paint_.reset();
  return FALSE;  // the controls draw themselves on top
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

void DialogWindow::OnClientRealize(GtkWidget* widget, gpointer) {
  if (IsX11(widget)) {
    gdk_window_ensure_native(gtk_widget_get_window(widget));
  }
}

void DialogWindow::OnButtonClicked(GtkButton* button, gpointer data) {
  static_cast<DialogWindow*>(data)->Command(
      GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "fw-id")));
}

gboolean DialogWindow::OnButtonFocusIn(GtkWidget* widget, GdkEvent*, gpointer data) {
  static_cast<DialogWindow*>(data)->MarkDefault(widget);
  return FALSE;
}

}  // namespace fw::gtk
