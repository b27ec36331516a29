#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "timelist/folder.h"

namespace chronolist {

PathKind KindOfPath(const std::string& path) {
  struct stat status {};
  if (path.empty() || ::stat(path.c_str(), &status) != 0) {
    return PathKind::kMissing;
  }
  return S_ISDIR(status.st_mode) ? PathKind::kFolder : PathKind::kOther;
}

std::string AbsolutePath(const std::string& path) {
  std::string joined;
  if (path.empty() || path.front() != '/') {
    char* working = ::getcwd(nullptr, 0);
    if (working == nullptr) {
      return path;
    }
    joined = std::string(working) + '/' + path;
    std::free(working);
  } else {
    joined = path;
  }
  // Steps of "." and doubled slashes go; ".." stays, since a symlinked
  // folder's parent is not the one its name suggests.
  std::string clean;
  std::size_t start = 0;
  while (start <= joined.size()) {
    std::size_t end = joined.find('/', start);
    if (end == std::string::npos) {
      end = joined.size();
    }
    const std::string step = joined.substr(start, end - start);
    if (!step.empty() && step != ".") {
      clean += '/' + step;
    }
    start = end + 1;
  }
  return clean.empty() ? "/" : clean;
}

std::string FolderName(const std::string& folder) {
  if (!folder.empty() && folder.front() == '/') {
    return folder;
  }
  // A removed folder is "/path/game (deleted)" here.
  char linked[4096];
  const ssize_t length = ::readlink("/proc/self/cwd", linked, sizeof linked);
  const std::string working =
      length > 0 ? std::string(linked, static_cast<std::size_t>(length)) : ".";
  return folder.empty() ? working : InFolder(working, folder);
}

}  // namespace chronolist
