#include <windows.h>

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
  std::wstring full = FullPathOf(path.empty() ? L"." : Wide(path));
  if (full.empty()) {
    return path;
  }
  // "C:\game\" and "C:\game" are one folder; a drive's root keeps its own.
  if (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) {
    full.pop_back();
  }
  return Utf8(full);
}

std::string FolderName(const std::string& folder) {
  const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
  // "C:\..." or a share's "\\server\...": the chosen folder, as it is.
  const bool absolute = (folder.size() >= 3 && folder[1] == ':' && isSeparator(folder[2])) ||
                        (folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1]));
  // Windows names its working folder even once it was removed.
  const std::string name = absolute ? folder : AbsolutePath(folder);
  return name.empty() ? std::string(".") : name;
}

}  // namespace chronolist
