// The GTK backend's Platform and RunApplication; see gtk_backend.h.
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/backend_platform.h"
#include "framework/dialog.h"
#include "framework/gtk/gtk_backend.h"
#include "framework/gtk/gtk_dialog_window.h"
#include "framework/gtk/gtk_display.h"
#include "framework/gtk/gtk_icons.h"
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
    auto* ownerWindow = PeerOf<DialogWindow>(owner);
    const UINT icon = type & MB_ICONMASK;
    const GtkMessageType kind = icon == MB_ICONERROR      ? GTK_MESSAGE_ERROR
                                : icon == MB_ICONQUESTION ? GTK_MESSAGE_QUESTION
                                                          : GTK_MESSAGE_OTHER;
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    // A path in the text may not be UTF-8 (file names are bytes here).
    gchar* shown = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
    GtkWidget* message = gtk_message_dialog_new(
        ownerWindow != nullptr ? ownerWindow->Window() : nullptr,
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), kind,
        yesNo ? GTK_BUTTONS_NONE : GTK_BUTTONS_OK, "%s", shown);
    g_free(shown);
    GtkResponseType byDefault = GTK_RESPONSE_OK;
    if (yesNo) {
      // Windows' Japanese labels in any locale, each with its access key.
      gtk_dialog_add_buttons(GTK_DIALOG(message), "はい(_Y)", GTK_RESPONSE_YES, "いいえ(_N)",
                             GTK_RESPONSE_NO, nullptr);
      byDefault = (type & MB_DEFMASK) == MB_DEFBUTTON2 ? GTK_RESPONSE_NO : GTK_RESPONSE_YES;
    }
    gtk_window_set_title(GTK_WINDOW(message), caption.c_str());
    gtk_window_set_position(GTK_WINDOW(message), ownerWindow != nullptr
                                                     ? GTK_WIN_POS_CENTER_ON_PARENT
                                                     : GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(message), byDefault);
    // The owner takes no input while the message is up, as on Windows.
    const bool wasEnabled = ownerWindow != nullptr && ownerWindow->IsEnabled();
    if (wasEnabled) {
      ownerWindow->Enable(false);
    }
    gtk_window_present(GTK_WINDOW(message));
    const gint response = gtk_dialog_run(GTK_DIALOG(message));
    gtk_widget_destroy(message);
    if (wasEnabled) {
      ownerWindow->Enable(true);
    }
    if (!yesNo) {
      return IDOK;
    }
    // Esc or the close box on a question is the safe answer.
    return response == GTK_RESPONSE_YES ? IDYES : IDNO;
  }
};

}  // namespace
}  // namespace gtk

int RunApplication(int argc, char** argv, const ResourceTable& resources) {
  // The command line is the program's: --help works without a display.
  char* executable = g_file_read_link("/proc/self/exe", nullptr);
  const std::string executablePath = executable != nullptr ? executable : "";
  g_free(executable);
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
