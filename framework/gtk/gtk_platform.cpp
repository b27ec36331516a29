// The GTK backend's Platform and RunApplication; see gtk_backend.h.
#include <gtk/gtk.h>

#include <cstdio>
#include <map>
#include <memory>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/gtk/gtk_backend.h"
#include "framework/gtk/gtk_dialog_window.h"
#include "framework/gtk/gtk_icons.h"
#include "framework/platform.h"
#include "framework/resources.h"
#include "framework/win_app.h"
#include "framework/wnd.h"

namespace fw {
namespace gtk {

namespace {

class GtkPlatform final : public Platform {
 public:
  INT_PTR RunModalDialog(CDialog& dialog, const DialogTemplate& dialogTemplate,
                         CWnd* owner) override {
    DialogWindow window(dialog, dialogTemplate, owner);
    return window.Run();
  }

  HICON LoadIcon(UINT id) override {
    auto found = icons_.find(id);
    if (found == icons_.end()) {
      found = icons_.emplace(id, LoadIconResource(id)).first;
    }
    return found->second.get();
  }

  int GetSystemMetrics(int index) const override {
    switch (index) {
      case SM_CXICON:
      case SM_CYICON:
        return kBigIconSize;
      case SM_CXSMICON:
      case SM_CYSMICON:
        return kSmallIconSize;
      default:
        return 0;
    }
  }

  int ShowMessage(CWnd* owner, const std::string& caption, const std::string& text,
                  UINT type) override {
    auto* ownerWindow = owner != nullptr ? dynamic_cast<DialogWindow*>(owner->Peer()) : nullptr;
    const GtkMessageType kind =
        (type & MB_ICONMASK) == MB_ICONERROR ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER;
    GtkWidget* message = gtk_message_dialog_new(
        ownerWindow != nullptr ? ownerWindow->Window() : nullptr,
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), kind,
        GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(message), caption.c_str());
    gtk_window_set_position(GTK_WINDOW(message), GTK_WIN_POS_CENTER_ON_PARENT);
    gtk_dialog_set_default_response(GTK_DIALOG(message), GTK_RESPONSE_OK);
    // The owner takes no input while the message is up, as on Windows.
    const bool wasEnabled = ownerWindow != nullptr && ownerWindow->IsEnabled();
    if (wasEnabled) {
      ownerWindow->Enable(false);
    }
    gtk_window_present(GTK_WINDOW(message));
    gtk_dialog_run(GTK_DIALOG(message));
    gtk_widget_destroy(message);
    if (wasEnabled) {
      ownerWindow->Enable(true);
    }
    return IDOK;
  }

 private:
  std::map<UINT, std::unique_ptr<IconHandle>> icons_;
};

}  // namespace
}  // namespace gtk

int RunApplication(int, char** argv, const ResourceTable& resources) {
  // Centring a dialog and moving it from the keyboard need window positions,
  // which only X11 gives a client. So X11 it is whenever a server is there
  // (XWayland on every Wayland desktop), Wayland natively otherwise; the
  // user's own GDK_BACKEND still wins.
  const char* backend = g_getenv("GDK_BACKEND");
  const char* display = g_getenv("DISPLAY");
  if ((backend == nullptr || *backend == '\0') && display != nullptr && *display != '\0') {
    gdk_set_allowed_backends("x11,*");
  }

  // The command line is not ours to interpret, not even GTK's own options.
  int gtkArgc = 1;
  char* gtkArgvStorage[] = {argv[0], nullptr};
  char** gtkArgv = gtkArgvStorage;
  if (!gtk_init_check(&gtkArgc, &gtkArgv)) {
    CWinApp* app = AfxGetApp();
    if (app != nullptr) {
      app->SetAppNameFromExecutable(argv[0]);
    }
    std::fprintf(stderr,
                 "%s: cannot open a display; it needs an X server (DISPLAY) or a "
                 "Wayland compositor (WAYLAND_DISPLAY)\n",
                 app != nullptr ? app->AppName() : argv[0]);
    // As after a main window that never showed: the application says what
    // that means for the exit status.
    return app != nullptr ? app->ExitInstance() : 1;
  }
  gtk::GtkPlatform platform;
  Platform* previousPlatform = SetPlatform(&platform);
  const ResourceTable* previousResources = SetResources(&resources);
  const int status = AfxWinMain(argv[0]);
  SetResources(previousResources);
  SetPlatform(previousPlatform);
  return status;
}

}  // namespace fw
