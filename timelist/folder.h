// Folders as the system names them: what a path is, a path made absolute,
// and names joined onto a folder. The game folder is chosen by the
// application; the time list only works in the one it is given.
// One source per platform (folder_posix.cpp, folder_win32.cpp).
#pragma once

#include <string>

namespace chronolist {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

enum class PathKind { kMissing, kFolder, kOther };

// What `path` names, through symlinks: a folder, something else (a file, a
// device), or nothing that can be reached.
PathKind KindOfPath(const std::string& path);

// `path` made absolute against the working folder, in UTF-8, without "."
// steps or doubled separators; empty `path` is the working folder itself.
// `path` unchanged when the working folder cannot be named (it may have been
// removed under us).
std::string AbsolutePath(const std::string& path);

// `folder` (empty: the working folder) as the user knows it: its absolute
// path, or, for a working folder that was removed, the name the system still
// has for it. Never empty.
std::string FolderName(const std::string& folder);

// `name` inside `folder`; `name` alone for an empty folder (the working one).
inline std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) {
    return name;
  }
  const char last = folder.back();
  const bool separated = last == kPathSeparator || last == '/';
  return separated ? folder + name : folder + kPathSeparator + name;
}

// The folder that holds the file at `path`; empty when `path` names none.
inline std::string ParentFolder(const std::string& path) {
#ifdef _WIN32
  const auto separator = path.find_last_of("\\/");
#else
  const auto separator = path.rfind('/');
#endif
  if (separator == std::string::npos) {
    return {};
  }
  return path.substr(0, separator == 0 ? 1 : separator);
}

}  // namespace chronolist
