// A Win32 helper of the Windows GUI tests: run under Wine beside the program,
// in the same prefix, it reads back what only the Windows API can see and
// prints it as UTF-8, one `name=value` line each.
//
//   window_probe message-box OWNER   the text of the message box over the
//                                    window titled OWNER
//   window_probe lone-box TITLE      the same for a box of no window, titled
//                                    TITLE
//   window_probe error-text CODE     the system's text for the Win32 error
//                                    CODE as FormatMessageW gives it (CR and
//                                    LF escaped), and the ANSI code page
//   window_probe dialog TITLE [FACE] the DPI, client size and placement of
//                                    the dialog titled TITLE, the dialog
//                                    font's base units, the icon sizes, and
//                                    each control's rectangle with the extent
//                                    of its text in the dialog font (or in
//                                    FACE), and how many of their characters
//                                    that font has no glyph for
//   window_probe hold FILE           holds FILE open as a viewer does, sharing
//                                    it for reading only, until killed
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The programs' dialog font: 9 pt "ＭＳ Ｐゴシック".
constexpr int kDialogFontPoints = 9;
constexpr wchar_t kDialogFontFace[] = L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";

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

int MessageBoxText(const std::wstring& owner, bool owned = true) {
  HWND box = FindTopLevel(owner, owned);
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
  Print(L"code-page", std::to_wstring(::GetACP()));
  Print(L"text", escaped);
  return 0;
}

// The dialog font's base units at `dpi`, from a font made here as the dialog
// manager makes it for the template: the average width of the 52 letters,
// rounded as Windows rounds it, and the font's height. (The dialog's own font
// handle is of no use here: GDI objects do not cross processes.) With
// `dialog`, also prints each of its controls' rectangle, `control<N>`, and
// its text's extent, `extent<N>`.
std::wstring BaseUnits(int dpi, HWND dialog = nullptr, const wchar_t* face = kDialogFontFace) {
  HFONT font = ::CreateFontW(-::MulDiv(kDialogFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ previous = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  SIZE letters{};
  const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  ::GetTextExtentPoint32W(dc, kLetters, 52, &letters);
  int index = 0;
  int missing = 0;
  for (HWND child = dialog != nullptr ? ::GetWindow(dialog, GW_CHILD) : nullptr; child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT), ++index) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    const bool noPrefix =
        ClassName(child) == L"Static" && (::GetWindowLongW(child, GWL_STYLE) & SS_NOPREFIX);
    RECT text{};
    ::DrawTextW(dc, Text(child).c_str(), -1, &text,
                DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0));
    const std::wstring shown = Text(child);
    std::wstring glyphs(shown.size(), L'\0');
    ::GetGlyphIndicesW(dc, shown.c_str(), static_cast<int>(shown.size()),
                       reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
    missing += static_cast<int>(std::count(glyphs.begin(), glyphs.end(), L'\xFFFF'));
    Print(L"control" + std::to_wstring(index), rect);
    Print(L"extent" + std::to_wstring(index), text.right, text.bottom);
  }
  if (dialog != nullptr) {
    Print(L"missing", std::to_wstring(missing));
  }
  ::SelectObject(dc, previous);
  ::ReleaseDC(nullptr, dc);
  ::DeleteObject(font);
  return std::to_wstring((letters.cx / 26 + 1) / 2) + L"x" + std::to_wstring(metrics.tmHeight);
}

int DialogFacts(const std::wstring& title, const wchar_t* face) {
  HWND dialog = FindTopLevel(title, false);
  if (dialog == nullptr) {
    std::fprintf(stderr, "no dialog with that title\n");
    return 1;
  }
  const UINT dpi = ::GetDpiForWindow(dialog);
  Print(L"dpi", std::to_wstring(dpi));
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
  Print(L"base", BaseUnits(static_cast<int>(dpi), dialog, face));
  Print(L"base96", BaseUnits(96));
  Print(L"icon-sizes", ::GetSystemMetricsForDpi(SM_CXICON, dpi),
        ::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
  return 0;
}

int Hold(const wchar_t* path) {
  HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open the file: %lu\n", ::GetLastError());
    return 1;
  }
  Print(L"held", path);
  ::Sleep(INFINITE);
  return 0;
}

}  // namespace

int main() {
  // Physical pixels, whatever the program's own awareness.
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  // The wide command line: titles need not fit the ANSI code page.
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc != 3 && !(argc == 4 && std::wstring(argv[1]) == L"dialog")) {
    std::fprintf(stderr,
                 "usage: window_probe message-box|lone-box|error-text|dialog|hold ARGUMENT\n");
    return 2;
  }
  const std::wstring command = argv[1];
  if (command == L"message-box") {
    return MessageBoxText(argv[2]);
  }
  if (command == L"lone-box") {
    return MessageBoxText(argv[2], false);
  }
  if (command == L"error-text") {
    return ErrorText(argv[2]);
  }
  if (command == L"dialog") {
    return DialogFacts(argv[2], argc == 4 ? argv[3] : kDialogFontFace);
  }
  if (command == L"hold") {
    return Hold(argv[2]);
  }
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
