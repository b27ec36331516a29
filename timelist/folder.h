// Folders as the system names them: what a path is, a path made absolute,
// and names joined onto a folder. The game folder is chosen by the
// application; the time list only works in the one it is given.
// One source per platform (folder_posix.cpp, folder_win32.cpp).
#pragma once

#include <string>

namespace chronolist {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Windows takes either separator in a path.
inline constexpr const char* kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparators = "/";
#endif

// `path` split after its last separator (any of `separators`): the folder,
// with its separator, and the name. The folder is empty for a bare name.
// The separators are the caller's: some paths are split at either system's,
// and the Windows sources split UTF-16 paths.
template <typename Char>
struct FolderAndName {
  std::basic_string<Char> folder;
  std::basic_string<Char> name;
};

template <typename Char>
FolderAndName<Char> SplitPath(const std::basic_string<Char>& path, const Char* separators) {
  const auto separator = path.find_last_of(separators);
  const auto nameStart = separator == std::basic_string<Char>::npos ? 0 : separator + 1;
  return {path.substr(0, nameStart), path.substr(nameStart)};
}

enum class PathKind { kMissing, kFolder, kOther };

// What `path` names, through symlinks: a folder, something else (a file, a
// device), or nothing that can be reached.
PathKind KindOfPath(const std::string& path);

// `path` made absolute against the working folder, in UTF-8, without "."
// steps or doubled separators; empty `path` is the working folder itself.
// `path` unchanged when the working folder cannot be named (it may have been
// removed under us).
std::string AbsolutePath(const std::string& path);

// `folder` as the user knows it: an absolute `folder` as it is (the game
// folder is made absolute once, when it is chosen); the working folder
// (empty), or a folder relative to it, by the name the system still has for
// it, even when it was removed and so could not be made absolute. Never empty.
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
  std::string folder = SplitPath(path, kPathSeparators).folder;
  // Without its separator, unless that is all there is (the root).
  if (folder.size() > 1) {
    folder.pop_back();
  }
  return folder;
}

}  // namespace chronolist
