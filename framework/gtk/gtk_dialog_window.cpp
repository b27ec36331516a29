// The dialog window itself: its widgets laid out from the template in the
// dialog font's units, the peer's work for CWnd and CDialog (geometry,
// enabling, icons, painting, ending), and the nested loop that runs it.
#include "framework/gtk/gtk_dialog_window.h"

#include "framework/gtk/gtk_dialog_font.h"
#include "framework/gtk/gtk_dialog_style.h"
#include "framework/gtk/gtk_display.h"
#include "framework/gtk/gtk_icons.h"
#include "framework/gtk/gtk_text_fit.h"
#include "framework/menu.h"
#include "framework/platform.h"
#include "framework/sys_command.h"

namespace fw::gtk {

// WM_PAINT's device context: the cairo context of the draw signal.
class DialogWindow::CairoPaintContext final : public PaintContext {
 public:
  CairoPaintContext(cairo_t* cr, GtkWidget* widget) : cr_(cr), widget_(widget) {}

  void DrawIcon(int x, int y, HICON icon) override {
    const CairoSurfacePtr image =
        IconSurface(icon, fw::GetSystemMetrics(SM_CXICON), gtk_widget_get_scale_factor(widget_),
                    gtk_widget_get_window(widget_));
    if (image == nullptr) {
      return;
    }
    cairo_save(cr_);
    cairo_set_source_surface(cr_, image.get(), x, y);
    cairo_paint(cr_);
    cairo_restore(cr_);
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
    : dialog_(dialog),
      template_(dialogTemplate),
      owner_(owner),
      captionBar_(std::make_unique<CaptionBar>(dialog, [this](UINT id) { SysCommand(id); })) {}

DialogWindow::~DialogWindow() {
  captionBar_.reset();
  if (window_ != nullptr) {
    gtk_widget_destroy(window_);
  }
  RemoveDialogStyle(css_);
}

void DialogWindow::Build() {
  // The font map loads fontconfig's configuration on a thread of its own:
  // started now, it does so while the first window loads the theme, instead
  // of keeping the font look-up below waiting.
  pango_cairo_font_map_get_default();
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window_), template_.caption.c_str());
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_),
                                   (template_.exStyle & WS_EX_APPWINDOW) == 0 && owner_ != nullptr);
  if (auto* ownerWindow = PeerOf<DialogWindow>(owner_)) {
    gtk_window_set_transient_for(GTK_WINDOW(window_), ownerWindow->Window());
  }

  // A screen reader announces it as a dialog, named by its caption.
  atk_object_set_role(gtk_widget_get_accessible(window_), ATK_ROLE_DIALOG);

  PangoContext* pango = gtk_widget_get_pango_context(window_);
  const std::string family = ResolveDialogFontFamily(template_.font.face);
  units_ = MeasureBaseUnits(pango, family, template_.font.pointSize);
  clientWidth_ = DialogXToPixels(template_.cx, units_);
  clientHeight_ = DialogYToPixels(template_.cy, units_);
  css_ = ApplyDialogStyle(window_, template_, family);

  // The frame is all ours (caption bar and a thin border), not the window
  // manager's and not GTK's client-side decorations: it looks the same
  // everywhere and the window's size is exact before it is first shown.
  gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
  AnnounceOwnFrame(window_);
  GtkWidget* frame = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_style_context_add_class(gtk_widget_get_style_context(frame), "fw-frame");
  gtk_container_add(GTK_CONTAINER(window_), frame);
  if (GtkWidget* bar = captionBar_->Build(window_, template_)) {
    gtk_box_pack_start(GTK_BOX(frame), bar, FALSE, FALSE, 0);
  }

  // On X11 the client area has a native window of its own, so that its size
  // is the template's exactly and can be read from outside. (On Wayland a
  // native child does not draw.)
  client_ = gtk_event_box_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(client_), "fw-client");
  g_signal_connect(client_, "realize", G_CALLBACK(OnClientRealize), this);
  g_signal_connect(client_, "draw", G_CALLBACK(OnDraw), this);
  GtkWidget* fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(client_), fixed);
  gtk_box_pack_start(GTK_BOX(frame), client_, FALSE, FALSE, 0);

  std::vector<PlacedWidget> placed;
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
    placed.push_back({widget, rect, item.IsPushButton(), !item.IsIcon()});
  }
  FitWidgetsToTexts(GTK_FIXED(fixed), placed, clientWidth_, clientHeight_);
  gtk_widget_set_size_request(client_, clientWidth_, clientHeight_);

  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
  g_signal_connect_swapped(window_, "notify::scale-factor",
                           G_CALLBACK(+[](DialogWindow* self) { self->UpdateIcons(); }), this);

  // Everything but the window itself is shown now, so that the window's size
  // is known when OnInitDialog and the centring ask for it.
  gtk_widget_show_all(frame);
}

GtkWidget* DialogWindow::BuildControl(const DialogItemTemplate& item) {
  const bool noPrefix = (item.style & SS_NOPREFIX) != 0;
  if (item.IsPushButton()) {
    GtkWidget* button = gtk_button_new_with_label(MenuDisplayText(item.text).c_str());
    gtk_widget_set_can_default(button, TRUE);
    gtk_widget_set_can_focus(button, item.IsTabStop());
    g_object_set_data(G_OBJECT(button), "fw-id", GINT_TO_POINTER(item.id));
    g_signal_connect(button, "clicked", G_CALLBACK(+[](GtkButton* clicked, gpointer self) {
                       static_cast<DialogWindow*>(self)->Command(ButtonId(GTK_WIDGET(clicked)));
                     }),
                     this);
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

int DialogWindow::ButtonId(GtkWidget* button) {
  return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "fw-id"));
}

INT_PTR DialogWindow::Run() {
  Build();
  dialog_.AttachPeer(this, (template_.style & WS_SYSMENU) != 0);
  captionBar_->NameCloseBox();
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
    loop_.reset(g_main_loop_new(nullptr, FALSE));
    g_main_loop_run(loop_.get());
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
  // The list only borrows the images.
  ToolkitPtr<GList, g_list_free> list;
  GdkPixbuf* small = smallIcon_ != nullptr ? smallIcon_->ImageForSize(kSmallIconSize) : nullptr;
  GdkPixbuf* big = bigIcon_ != nullptr ? bigIcon_->ImageForSize(kBigIconSize) : nullptr;
  if (small != nullptr) {
    list.reset(g_list_append(list.release(), small));
  }
  if (big != nullptr && big != small) {
    list.reset(g_list_append(list.release(), big));
  }
  gtk_window_set_icon_list(GTK_WINDOW(window_), list.get());
  captionBar_->SetIcon(smallIcon_ != nullptr ? smallIcon_ : bigIcon_);
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
  captionBar_->Enable(enable);
  if (enable && focusWhileDisabled_ != nullptr) {
    gtk_widget_grab_focus(focusWhileDisabled_);
  }
  focusWhileDisabled_ = focus;
}

void DialogWindow::EndModalLoop(int result) {
  result_ = result;
  ended_ = true;
  if (loop_ != nullptr && g_main_loop_is_running(loop_.get())) {
    g_main_loop_quit(loop_.get());
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

void DialogWindow::OnClientRealize(GtkWidget* widget, gpointer) {
  if (IsX11(widget)) {
    gdk_window_ensure_native(gtk_widget_get_window(widget));
  }
}

}  // namespace fw::gtk
