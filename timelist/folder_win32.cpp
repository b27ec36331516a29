#include <windows.h>

#include <cwchar>

#include "timelist/folder.h"
#include "timelist/win32_text.h"

namespace chronolist {

PathKind KindOfPath(const std::string& path) {
  if (path.empty()) {
    return PathKind::kMissing;
  }
  const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return PathKind::kMissing;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kFolder : PathKind::kOther;
}

std::string AbsolutePath(const std::string& path) {
  // GetFullPathNameW is string work on the working folder: it needs no
  // file to exist, and resolves "." and ".." as Windows always does.
  const std::wstring relative = path.empty() ? L"." : Wide(path);
  const DWORD length = ::GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
  std::wstring full(length, L'\0');
  if (length == 0 || ::GetFullPathNameW(relative.c_str(), length, full.data(), nullptr) == 0) {
    return path;
  }
  full.resize(std::wcslen(full.c_str()));
  // "C:\game\" and "C:\game" are one folder; a drive's root keeps its own.
  if (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) {
    full.pop_back();
  }
  return Utf8(full);
}

}  // namespace chronolist
