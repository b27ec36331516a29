// A Win32 helper of the Windows GUI tests: run under Wine beside the program,
// in the same prefix, it reads back what only the Windows API can see and
// prints it as UTF-8, one `name=value` line each.
//
//   window_probe message-box OWNER   the text of the message box over the
//                                    window titled OWNER
//   window_probe error-text CODE     the system's text for the Win32 error
//                                    CODE, exactly as FormatMessageW gives it
//   window_probe dialog TITLE        the DPI, client size, placement, font
//                                    and icons of the dialog titled TITLE
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& name, const std::wstring& value) {
  const std::wstring line = name + L"=" + value + L"\n";
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), size,
                        nullptr, nullptr);
  // Bytes as they are: no code page of the console in between.
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()),
              &written, nullptr);
}

void Print(const std::wstring& name, long first, long second) {
  Print(name, std::to_wstring(first) + L"x" + std::to_wstring(second));
}

void Print(const std::wstring& name, const RECT& rect) {
  Print(name, std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
                  std::to_wstring(rect.right) + L"," + std::to_wstring(rect.bottom));
}

std::wstring Text(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

struct Search {
  std::wstring title;
  bool wantOwnedDialog;
  HWND found;
};

// A top-level window of any process on the desktop: the program's dialog by
// its title, or a dialog-class window owned by it (the message box).
HWND FindTopLevel(const std::wstring& title, bool ownedDialog) {
  Search search{title, ownedDialog, nullptr};
  for (int attempt = 0; attempt < 50 && search.found == nullptr; ++attempt) {
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
          auto& search = *reinterpret_cast<Search*>(parameter);
          if (!::IsWindowVisible(window) || ClassName(window) != L"#32770") {
            return TRUE;
          }
          HWND owner = ::GetWindow(window, GW_OWNER);
          const bool match = search.wantOwnedDialog
                                 ? owner != nullptr && Text(owner) == search.title
                                 : Text(window) == search.title;
          if (match) {
            search.found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
      ::Sleep(100);
    }
  }
  return search.found;
}

int MessageBoxText(const std::wstring& owner) {
  HWND box = FindTopLevel(owner, true);
  if (box == nullptr) {
    std::fprintf(stderr, "no message box over the window\n");
    return 1;
  }
  Print(L"caption", Text(box));
  // The message is the one static that is neither the icon nor empty.
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (ClassName(child) == L"Static" && (style & SS_TYPEMASK) != SS_ICON && !Text(child).empty()) {
      Print(L"text", Text(child));
    }
  }
  return 0;
}

int ErrorText(const wchar_t* code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(std::wcstoul(code, nullptr, 0)), 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0) {
    std::fprintf(stderr, "FormatMessageW failed: %lu\n", ::GetLastError());
    return 1;
  }
  // Escaped, so that the caller sees the line breaks the system put in.
  std::wstring escaped;
  for (DWORD i = 0; i < length; ++i) {
    escaped += text[i] == L'\r'   ? std::wstring(L"\\r")
               : text[i] == L'\n' ? L"\\n"
                                  : std::wstring(1, text[i]);
  }
  ::LocalFree(text);
  Print(L"text", escaped);
  return 0;
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !::GetIconInfo(icon, &info)) {
    return {0, 0};
  }
  BITMAP bitmap{};
  ::GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
  const bool monochrome = info.hbmColor == nullptr;
  ::DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) {
    ::DeleteObject(info.hbmColor);
  }
  return {bitmap.bmWidth, monochrome ? bitmap.bmHeight / 2 : bitmap.bmHeight};
}

int DialogFacts(const std::wstring& title) {
  HWND dialog = FindTopLevel(title, false);
  if (dialog == nullptr) {
    std::fprintf(stderr, "no dialog with that title\n");
    return 1;
  }
  const UINT dpi = ::GetDpiForWindow(dialog);
  Print(L"dpi", std::to_wstring(dpi));
  Print(L"awareness", std::to_wstring(::GetAwarenessFromDpiAwarenessContext(
                          ::GetWindowDpiAwarenessContext(dialog))));
  RECT client{};
  ::GetClientRect(dialog, &client);
  Print(L"client", client.right, client.bottom);
  RECT window{};
  ::GetWindowRect(dialog, &window);
  Print(L"window", window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
  Print(L"work", monitor.rcWork);

  // The base units as the dialog manager takes them from the font it made
  // for the dialog: average width of the 52 letters, and the font's height.
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  ::GetObjectW(font, sizeof logFont, &logFont);
  Print(L"font", std::wstring(logFont.lfFaceName) + L"," + std::to_wstring(logFont.lfHeight));
  HDC dc = ::GetDC(dialog);
  HGDIOBJ previous = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  SIZE letters{};
  const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  ::GetTextExtentPoint32W(dc, kLetters, 52, &letters);
  ::SelectObject(dc, previous);
  ::ReleaseDC(dialog, dc);
  Print(L"base", (letters.cx / 26 + 1) / 2, metrics.tmHeight);

  const SIZE big =
      IconSize(reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0)));
  const SIZE small =
      IconSize(reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)));
  Print(L"icon-big", big.cx, big.cy);
  Print(L"icon-small", small.cx, small.cy);
  Print(L"metrics-icon", ::GetSystemMetricsForDpi(SM_CXICON, dpi),
        ::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
  return 0;
}

}  // namespace

int main() {
  // Physical pixels, whatever the program's own awareness.
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  // The wide command line: titles need not fit the ANSI code page.
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_probe message-box|error-text|dialog ARGUMENT\n");
    return 2;
  }
  const std::wstring command = argv[1];
  if (command == L"message-box") {
    return MessageBoxText(argv[2]);
  }
  if (command == L"error-text") {
    return ErrorText(argv[2]);
  }
  if (command == L"dialog") {
    return DialogFacts(argv[2]);
  }
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
