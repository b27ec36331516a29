// The GTK backend's Platform and RunApplication; see gtk_backend.h.
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/backend_platform.h"
#include "framework/dialog.h"
#include "framework/gtk/gobject_ptr.h"
#include "framework/gtk/gtk_backend.h"
#include "framework/gtk/gtk_dialog_window.h"
#include "framework/gtk/gtk_display.h"
#include "framework/gtk/gtk_icons.h"
#include "framework/gtk/gtk_message_box.h"
#include "framework/platform.h"
#include "framework/resources.h"
#include "framework/win_app.h"
#include "framework/wnd.h"

namespace fw {
namespace gtk {

namespace {

class GtkPlatform final : public BackendPlatform<DialogWindow> {
 public:
  HICON LoadIcon(UINT id) override {
    return icons_.Find(id, [id] { return LoadIconResource(id); });
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
    return RunMessageBox(PeerOf<DialogWindow>(owner), caption, text, type);
  }
};

}  // namespace
}  // namespace gtk

int RunApplication(int argc, char** argv, const ResourceTable& resources) {
  // The command line is the program's: --help works without a display.
  const gtk::ToolkitPtr<gchar, g_free> executable(g_file_read_link("/proc/self/exe", nullptr));
  const std::string executablePath = executable != nullptr ? executable.get() : "";
  auto openDisplay = [argv]() -> std::unique_ptr<Platform> {
    // Centring a dialog and moving it from the keyboard need window
    // positions, which only X11 gives a client. So X11 it is whenever a
    // server is there (XWayland on every Wayland desktop), Wayland natively
    // otherwise; the user's own GDK_BACKEND still wins.
    const char* backend = g_getenv("GDK_BACKEND");
    const char* display = g_getenv("DISPLAY");
    if ((backend == nullptr || *backend == '\0') && display != nullptr && *display != '\0') {
      gdk_set_allowed_backends("x11,*");
    }
    // Not even GTK's own options: the arguments were the program's.
    int gtkArgc = 1;
    char* gtkArgvStorage[] = {argv[0], nullptr};
    char** gtkArgv = gtkArgvStorage;
    gtk::SilenceSeatlessKeyboardAssertion();
    if (!gtk_init_check(&gtkArgc, &gtkArgv)) {
      return nullptr;
    }
    return std::make_unique<gtk::GtkPlatform>();
  };
  return AfxRunApplication(resources, argv[0], executablePath,
                           std::vector<std::string>(argv + 1, argv + argc), openDisplay,
                           "cannot open a display; it needs an X server (DISPLAY) or a Wayland "
                           "compositor (WAYLAND_DISPLAY)");
}

}  // namespace fw
