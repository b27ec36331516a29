// UTF-8 <-> UTF-16 and paths for the time list's Windows sources. Paths and
// system texts cross the Win32 boundary as UTF-16 only: the ANSI code page
// (932 on a Japanese system) is not to be trusted with them.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "timelist/text_encoding.h"

namespace chronolist {

// wchar_t is UTF-16 on Windows: the portable conversions serve, with their
// U+FFFD for malformed input.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring Wide(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return {wide.begin(), wide.end()};
}

inline std::string Utf8(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// `path` made absolute against the working folder; empty when the system
// cannot say. GetFullPathNameW is string work: it needs no file to exist, and
// resolves "." and ".." as Windows always does.
inline std::wstring FullPathOf(const std::wstring& path) {
  const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(length, L'\0');
  if (length == 0 || ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr) == 0) {
    return {};
  }
  full.resize(std::wcslen(full.c_str()));
  return full;
}

// `path` as the file functions take it: a full path that is too long for
// them (MAX_PATH, less room for a file name) gets the \\?\ form, which has
// no such limit and which a game folder deep in a user's folders needs.
// Relative and short paths stay as they are.
inline std::wstring SystemPath(std::string_view path) {
  std::wstring wide = Wide(path);
  constexpr std::size_t kRoomForAName = 12;
  if (wide.size() + kRoomForAName < MAX_PATH || wide.starts_with(L"\\\\?\\")) {
    return wide;
  }
  if (wide.size() > 2 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/')) {
    return L"\\\\?\\" + wide;
  }
  if (wide.starts_with(L"\\\\")) {
    return L"\\\\?\\UNC\\" + wide.substr(2);
  }
  return wide;
}

}  // namespace chronolist
