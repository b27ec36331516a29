// The Win32 backend's Platform and RunApplication; see win32_backend.h.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/backend_platform.h"
#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/dialog_template_binary.h"
#include "framework/menu.h"
#include "framework/platform.h"
#include "framework/resources.h"
#include "framework/win32/win32_backend.h"
#include "framework/win32/win32_dialog_font.h"
#include "framework/win32/win32_text_fit.h"
#include "framework/win_app.h"

// After the framework's headers, on purpose: see windows_api.h.
#include "framework/win32/windows_api.h"
#include "timelist/win32_text.h"

struct fw::IconHandle {
  ::HICON big;
  ::HICON small;
};

namespace fw {
namespace win32 {

namespace {

using chronolist::Utf8;
using chronolist::Wide;

// WM_PAINT's device context: the one BeginPaint returned.
class DeviceContext final : public PaintContext {
 public:
  DeviceContext(HWND window, ::HDC dc) : window_(window), dc_(dc) {}
  void DrawIcon(int x, int y, fw::HICON icon) override {
    if (icon != nullptr) {
      ::DrawIcon(dc_, x, y, icon->big);
    }
  }
  void EraseBackground() override {
    ::DefWindowProcW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
  }

 private:
  HWND window_;
  ::HDC dc_;
};

class DialogWindow final : public WindowPeer {
 public:
  DialogWindow(CDialog& dialog, const DialogTemplate& dialogTemplate, CWnd* owner)
      : dialog_(dialog), template_(dialogTemplate), owner_(owner) {}

  // The window handle behind `wnd`, or none.
  static HWND HandleOf(const CWnd* wnd) {
    const DialogWindow* window = PeerOf<DialogWindow>(wnd);
    return window != nullptr ? window->window_ : nullptr;
  }

  INT_PTR Run() {
    DialogTemplate shown = template_;
    shown.font.face = DialogFace(template_);
    const std::vector<std::uint8_t> binary = BuildDialogTemplateBinary(shown);
    const INT_PTR result = ::DialogBoxIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(binary.data()),
        HandleOf(owner_), &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    dialog_.DetachPeer();
    return result;
  }

  bool IsIconic() const override { return ::IsIconic(window_) != 0; }

  CRect GetClientRect() const override {
    ::RECT rect{};
    ::GetClientRect(window_, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
  }

  CRect GetWindowRect() const override {
    ::RECT rect{};
    ::GetWindowRect(window_, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
  }

  void MoveTo(int left, int top) override {
    ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  CRect GetWorkArea() const override {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info);
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  }

  bool IsEnabled() const override { return ::IsWindowEnabled(window_) != 0; }
  void Enable(bool enable) override { ::EnableWindow(window_, enable ? 1 : 0); }

  fw::HICON SetIcon(fw::WPARAM which, fw::HICON icon) override {
    fw::HICON& slot = which == ICON_BIG ? bigIcon_ : smallIcon_;
    fw::HICON previous = slot;
    slot = icon;
    ::HICON native = icon == nullptr ? nullptr : which == ICON_BIG ? icon->big : icon->small;
    ::SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(native));
    return previous;
  }

  void EndModalLoop(int result) override { ::EndDialog(window_, result); }

  PaintContext* BeginPaint() override {
    if (!inPaint_) {
      return nullptr;
    }
    ::HDC dc = ::BeginPaint(window_, &paint_);
    painted_ = true;
    context_ = std::make_unique<DeviceContext>(window_, dc);
    return context_.get();
  }

  void EndPaint(PaintContext*) override {
    ::EndPaint(window_, &paint_);
    context_.reset();
  }

  // The dialog manager's own handling is what "default" means here.
  void DefaultPaint() override { useDefault_ = true; }
  void StartMoveByKeyboard() override { DefaultSysCommand(SC_MOVE, 0); }
  void ShowSystemMenu() override { DefaultSysCommand(SC_KEYMENU, ' '); }

  void SystemMenuAppended(const MenuItem& item) override {
    if (HMENU menu = ::GetSystemMenu(window_, FALSE)) {
      ::AppendMenuW(menu, item.flags, item.id,
                    item.IsSeparator() ? nullptr : Wide(item.text).c_str());
    }
  }

 private:
  // Inside WM_SYSCOMMAND the default is to let the dialog manager have the
  // message; a command sent from the program's own code goes straight to it.
  void DefaultSysCommand(UINT command, LPARAM lParam) {
    if (inSysCommand_) {
      useDefault_ = true;
    } else {
      ::DefWindowProcW(window_, WM_SYSCOMMAND, command, lParam);
    }
  }

  LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) {
    return dialog_.DeliverMessage(message, wParam, lParam);
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND:
        Deliver(WM_COMMAND, wParam, lParam);
        return TRUE;
      case WM_HELP:
        Deliver(WM_COMMAND, fw::ID_HELP, 0);
        return TRUE;
      case WM_CLOSE:
        Deliver(WM_CLOSE, wParam, lParam);
        return TRUE;
      case WM_SYSCOMMAND: {
        useDefault_ = false;
        inSysCommand_ = true;
        Deliver(WM_SYSCOMMAND, wParam, lParam);
        inSysCommand_ = false;
        return useDefault_ ? FALSE : TRUE;
      }
      case WM_PAINT: {
        useDefault_ = false;
        inPaint_ = true;
        painted_ = false;
        Deliver(WM_PAINT, wParam, lParam);
        inPaint_ = false;
        return painted_ || !useDefault_ ? TRUE : FALSE;
      }
      case WM_QUERYDRAGICON: {
        auto* icon = reinterpret_cast<fw::HICON>(Deliver(WM_QUERYDRAGICON, wParam, lParam));
        return reinterpret_cast<INT_PTR>(icon != nullptr ? icon->big : nullptr);
      }
      default:
        return FALSE;
    }
  }

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      auto* self = reinterpret_cast<DialogWindow*>(lParam);
      ::SetWindowLongPtrW(window, DWLP_USER, lParam);
      self->window_ = window;
      FitDialogToTexts(window, self->template_);
      self->dialog_.AttachPeer(self, (self->template_.style & WS_SYSMENU) != 0);
      return self->dialog_.RunInitDialog(self->owner_);
    }
    auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
  }

  CDialog& dialog_;
  const DialogTemplate& template_;
  CWnd* owner_;
  HWND window_ = nullptr;
  fw::HICON bigIcon_ = nullptr;
  fw::HICON smallIcon_ = nullptr;
  bool useDefault_ = false;
  bool inSysCommand_ = false;
  bool inPaint_ = false;
  bool painted_ = false;
  PAINTSTRUCT paint_{};
  std::unique_ptr<DeviceContext> context_;
};

class Win32Platform final : public BackendPlatform<DialogWindow> {
 public:
  fw::HICON LoadIcon(UINT id) override {
    return icons_.Find(id, [id]() -> std::unique_ptr<fw::IconHandle> {
      // Shared handles: the system frees them with the module.
      auto load = [id](int metric) {
        const int size = ::GetSystemMetrics(metric);
        return static_cast<::HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                 IMAGE_ICON, size, size, LR_SHARED));
      };
      ::HICON big = load(SM_CXICON);
      if (big == nullptr) {
        return nullptr;
      }
      return std::make_unique<fw::IconHandle>(fw::IconHandle{big, load(SM_CXSMICON)});
    });
  }

  int GetSystemMetrics(int index) const override { return ::GetSystemMetrics(index); }

  int ShowMessage(CWnd* owner, const std::string& caption, const std::string& text,
                  fw::UINT type) override {
    return ::MessageBoxW(DialogWindow::HandleOf(owner), Wide(text).c_str(), Wide(caption).c_str(),
                         type);
  }
};

std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return Utf8(path);
}

// The arguments in UTF-16, as the system holds them: argv would give them in
// the ANSI code page (932 on a Japanese system), where a folder named with
// characters outside it cannot be spelled.
std::vector<std::string> Arguments() {
  int count = 0;
  const LocalPtr<LPWSTR> words(::CommandLineToArgvW(::GetCommandLineW(), &count));
  std::vector<std::string> arguments;
  for (int i = 1; words != nullptr && i < count; ++i) {
    arguments.push_back(Utf8(words.get()[i]));
  }
  return arguments;
}

// A GUI program started from a console (cmd, a .bat) gets no standard
// handles from it: what it prints would go nowhere. Without handles of its
// own (none redirected, as a pipe's are), stdout and stderr go to the
// console of the program that started it, if there is one. A console shows
// bytes in its code page, and the program prints UTF-8: the console is
// switched to UTF-8 for the time being (Wine hands its console on as is).
class ParentConsole {
 public:
  ParentConsole() {
    auto missing = [](::DWORD which) {
      const HANDLE handle = ::GetStdHandle(which);
      return handle == nullptr || handle == INVALID_HANDLE_VALUE ||
             ::GetFileType(handle) == FILE_TYPE_UNKNOWN;
    };
    if (missing(STD_OUTPUT_HANDLE) && missing(STD_ERROR_HANDLE) &&
        ::AttachConsole(ATTACH_PARENT_PROCESS)) {
      std::freopen("CONOUT$", "w", stdout);
      std::freopen("CONOUT$", "w", stderr);
    }
    // The bytes go to the console as they are (the runtime's text mode
    // would read them in its own code page first), a line in one write: a
    // character split over two writes is two broken ones.
    bool onConsole = false;
    for (std::FILE* stream : {stdout, stderr}) {
      ::DWORD mode = 0;
      if (::GetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream))), &mode)) {
        ::_setmode(::_fileno(stream), _O_BINARY);
        std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
        onConsole = true;
      }
    }
    if (onConsole) {
      codePage_ = ::GetConsoleOutputCP();
      ::SetConsoleOutputCP(CP_UTF8);
    }
  }
  ParentConsole(const ParentConsole&) = delete;
  ParentConsole& operator=(const ParentConsole&) = delete;
  // The console is the parent's: its code page goes back as it was.
  ~ParentConsole() {
    if (codePage_ != 0) {
      std::fflush(stdout);
      std::fflush(stderr);
      ::SetConsoleOutputCP(codePage_);
    }
  }

 private:
  UINT codePage_ = 0;
};

}  // namespace

}  // namespace win32

// The program's name and path come from the executable's path in UTF-16 too.
// There is always a display.
int RunApplication(int, char**, const ResourceTable& resources) {
  const win32::ParentConsole console;
  const std::string executable = win32::ExecutablePath();
  return AfxRunApplication(
      resources, executable.c_str(), executable, win32::Arguments(),
      [] { return std::make_unique<win32::Win32Platform>(); }, "");
}

}  // namespace fw
