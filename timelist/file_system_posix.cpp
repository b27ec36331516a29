#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "timelist/file_system.h"

namespace chronolist {

namespace {

std::error_code LastError() {
  return {errno, std::system_category()};
}

// Closes a descriptor on every path out of a scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  int get() const { return fd_; }
  // Closes now, so that a failing close (NFS, quota) can be reported.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// Creates a fresh file beside `path` (O_EXCL: never reuses or follows
// anything already there). Mode 0666 lets the umask decide, as fopen would.
int CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".tmp-%ld-%d", static_cast<long>(::getpid()), attempt);
    tempPath = path + suffix;
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  errno = EEXIST;
  return -1;
}

// Makes the rename itself durable. Best effort: a folder that cannot be
// synced does not undo a page that is already in place.
void SyncParentFolder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

std::optional<std::uint64_t> RegularFileLength(const std::string& path) {
  // O_NONBLOCK keeps a FIFO from waiting for a writer; O_NOCTTY keeps a
  // terminal from becoming ours.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) {
    return std::nullopt;
  }
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(status.st_size);
}

std::error_code ReplaceFileAtomically(const std::string& path, std::string_view contents) {
  std::string tempPath;
  FileDescriptor temp(CreateTemporaryBeside(path, tempPath));
  if (temp.get() < 0) {
    return LastError();
  }
  std::error_code error = WriteAll(temp.get(), contents);
  if (!error && ::fsync(temp.get()) != 0) {
    error = LastError();
  }
  if (temp.Close() != 0 && !error) {
    error = LastError();
  }
  if (!error && ::rename(tempPath.c_str(), path.c_str()) != 0) {
    error = LastError();
  }
  if (error) {
    ::unlink(tempPath.c_str());
    return error;
  }
  SyncParentFolder(path);
  return {};
}

}  // namespace chronolist
