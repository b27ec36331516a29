#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
  ~FileDescriptor() { Reset(-1); }
  int get() const { return fd_; }
  void Release() { fd_ = -1; }
  void Reset(int fd) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = fd;
  }

 private:
  int fd_;
};

// A write past RLIMIT_FSIZE raises SIGXFSZ, whose default action ends the
// process. Held back for the length of the write, the signal is swallowed and
// the write fails with EFBIG instead, like a full disk. The mask is the
// calling thread's, so nothing else in the process is affected.
class FileSizeSignalHeld {
 public:
  FileSizeSignalHeld() {
    ::sigemptyset(&signal_);
    ::sigaddset(&signal_, SIGXFSZ);
    ::pthread_sigmask(SIG_BLOCK, &signal_, &previous_);
  }
  FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
  FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;
  ~FileSizeSignalHeld() {
    // A caller that blocked the signal itself keeps whatever is pending.
    if (::sigismember(&previous_, SIGXFSZ) == 1) {
      return;
    }
    const timespec now{};
    while (::sigtimedwait(&signal_, nullptr, &now) == SIGXFSZ) {
    }
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }

 private:
  sigset_t signal_{};
  sigset_t previous_{};
};

std::error_code WriteAll(int fd, std::string_view bytes) {
  const FileSizeSignalHeld held;
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

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Every writer holds an exclusive flock on its temporary file until the file
// is renamed or removed, and the kernel drops it when the writer dies. A
// temporary file whose lock can be taken therefore belongs to no one. Only
// regular files with exactly our names qualify: a link, a device or a user's
// own "replistEX.html.tmp-notes" is never opened, let alone removed.
void RemoveAbandonedTemporaries(int folder, const std::string& name) {
  const int listing = ::dup(folder);
  if (listing < 0) {
    return;
  }
  DIR* entries = ::fdopendir(listing);
  if (entries == nullptr) {
    ::close(listing);
    return;
  }
  while (const dirent* entry = ::readdir(entries)) {
    struct stat named {};
    if (!IsTemporaryName(entry->d_name, name) ||
        ::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(named.st_mode)) {
      continue;
    }
    FileDescriptor file(
        ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (file.get() < 0 || ::fstat(file.get(), &opened) != 0 || !SameFile(opened, named) ||
        ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
      continue;
    }
    // Still the file that was locked, not one put in its place meanwhile.
    if (::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(opened, named)) {
      ::unlinkat(folder, entry->d_name, 0);
    }
  }
  ::closedir(entries);
}

// The process's umask, read where Linux shows it: setting it to learn it
// would change it for every thread in the meantime.
mode_t CurrentUmask() {
  if (FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned int mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status) != nullptr) {
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    }
    std::fclose(status);
    if (found) {
      return static_cast<mode_t>(mask);
    }
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// Gives the temporary file `mode`. FAT and exFAT keep no modes (the mount
// options decide them), and their drivers refuse (EPERM, ENOSYS) or ignore
// the change: that is no failure as long as the file is no more open than
// `widest` allows.
std::error_code SetMode(int fd, mode_t mode, mode_t widest) {
  if (::fchmod(fd, mode) == 0) {
    return {};
  }
  const std::error_code error = LastError();
  struct stat status {};
  if (::fstat(fd, &status) == 0 && (status.st_mode & 0777 & ~widest) == 0) {
    return {};
  }
  return error;
}

// A temporary file in `folder`, locked (see RemoveAbandonedTemporaries) and
// private (0600) until its mode is set. On Linux it has no name until it is
// complete; where the file system cannot do that, it gets a fresh random
// name, created exclusively, and `tempName` is set.
int CreateLockedTemporary(int folder, const std::string& prefix, std::string& tempName) {
  tempName.clear();
#ifdef O_TMPFILE
  const int unnamed = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (unnamed >= 0) {
    // Nobody else can reach it before it is linked: the lock is free.
    ::flock(unnamed, LOCK_EX | LOCK_NB);
    return unnamed;
  }
  // Older kernels and some file systems cannot do it; others refuse it where a
  // named file fails for a reason the user can act on (EPERM in a removed
  // folder, where the name gives ENOENT). Either way a named file decides.
#endif
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    tempName = prefix + RandomSuffix();
    FileDescriptor file(::openat(folder, tempName.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.get() < 0) {
      if (errno == EEXIST) {
        continue;
      }
      tempName.clear();
      return -1;
    }
    // Someone locked it the moment it appeared: a user watching the folder,
    // or another run that took it for abandoned and is about to remove it.
    // Waiting for either could take for ever; a new name never waits. Where
    // the file system has no locks, no other run can lock it either.
    struct stat opened {};
    struct stat named {};
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      if (::fstat(file.get(), &opened) == 0 &&
          ::fstatat(folder, tempName.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
          SameFile(opened, named)) {
        ::unlinkat(folder, tempName.c_str(), 0);
      }
      continue;
    }
    // Another run may have found the file in the moment before the lock and
    // removed it: then the file is nameless and a new one is needed.
    if (::fstat(file.get(), &opened) != 0 || opened.st_nlink > 0) {
      const int fd = file.get();
      file.Release();
      return fd;
    }
  }
  tempName.clear();
  errno = EWOULDBLOCK;
  return -1;
}

// Gives a complete unnamed temporary file a random name in `folder`.
std::error_code LinkUnnamed(int fd, int folder, const std::string& prefix, std::string& tempName) {
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  for (;;) {
    tempName = prefix + RandomSuffix();
    if (::linkat(AT_FDCWD, self, folder, tempName.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return {};
    }
    // Without /proc, AT_EMPTY_PATH still works for a privileged process.
    if (errno == ENOENT && ::linkat(fd, "", folder, tempName.c_str(), AT_EMPTY_PATH) == 0) {
      return {};
    }
    if (errno != EEXIST) {
      tempName.clear();
      return LastError();
    }
  }
}

}  // namespace

std::optional<std::uint64_t> RegularFileLength(const std::string& path) {
  // Opening a device can act on it (a tape rewinds when it is closed): only a
  // regular file is opened, and the open file is checked again below.
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
    return std::nullopt;
  }
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

ReplaceResult ReplaceFileAtomically(const std::string& path, std::string_view contents) {
  const auto [folderPart, name] = SplitPath(path, "/");
  const char* folderPath = folderPart.empty() ? "." : folderPart.c_str();
  const std::string prefix = name + kTemporaryInfix;

  FileDescriptor folder(::open(folderPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
#ifdef O_PATH
  // A folder the user may write but not list still takes the page; only the
  // clearing of abandoned files and the folder's sync need to read it.
  if (folder.get() < 0 && errno == EACCES) {
    folder.Reset(::open(folderPath, O_PATH | O_DIRECTORY | O_CLOEXEC));
  }
#endif
  if (folder.get() < 0) {
    return {LastError()};
  }
  RemoveAbandonedTemporaries(folder.get(), name);

  // A page the user may not write stays, as it would for a plain truncating
  // write; one that is replaced keeps its mode and, where we may, its owner.
  // A link is replaced, not followed, but a page it leads to is still there
  // when the replace fails.
  struct stat page {};
  ReplaceResult result;
  const bool named = ::fstatat(folder.get(), name.c_str(), &page, AT_SYMLINK_NOFOLLOW) == 0;
  const bool pageExists = named && S_ISREG(page.st_mode);
  struct stat linked {};
  result.hadFile = pageExists || (named && S_ISLNK(page.st_mode) &&
                                  ::fstatat(folder.get(), name.c_str(), &linked, 0) == 0 &&
                                  S_ISREG(linked.st_mode));
  if (pageExists && ::faccessat(folder.get(), name.c_str(), W_OK, AT_EACCESS) != 0) {
    result.error = LastError();
    return result;
  }

  std::string tempName;
  FileDescriptor temp(CreateLockedTemporary(folder.get(), prefix, tempName));
  if (temp.get() < 0) {
    result.error = LastError();
    return result;
  }
  if (pageExists) {
    struct stat created {};
    if (::fstat(temp.get(), &created) == 0 &&
        (created.st_uid != page.st_uid || created.st_gid != page.st_gid) &&
        ::fchown(temp.get(), page.st_uid, page.st_gid) != 0) {
      // Not allowed to give the page away: keep at least its group. An owner
      // or group we cannot keep is no failure; the mode below is what matters.
      [[maybe_unused]] const bool groupKept =
          ::fchown(temp.get(), static_cast<uid_t>(-1), page.st_gid) == 0;
    }
  }
  std::error_code error = WriteAll(temp.get(), contents);
  // Only now open to others, and synced with the bytes. A replaced page is
  // never more open than it was; a new one is what any new file of the
  // user's would be.
  if (!error) {
    error = pageExists ? SetMode(temp.get(), page.st_mode & 0777, page.st_mode & 0777)
                       : SetMode(temp.get(), 0666 & ~CurrentUmask(), 0777);
  }
  if (!error && ::fsync(temp.get()) != 0) {
    error = LastError();
  }
  if (!error && tempName.empty()) {
    error = LinkUnnamed(temp.get(), folder.get(), prefix, tempName);
  }
  // Renamed while still locked, so that no other run can take it for
  // abandoned in between.
  if (!error && ::renameat(folder.get(), tempName.c_str(), folder.get(), name.c_str()) != 0) {
    error = LastError();
  }
  if (error) {
    if (!tempName.empty() && ::unlinkat(folder.get(), tempName.c_str(), 0) != 0) {
      // ntfs-3g sets a file that is still open aside under another name
      // instead of removing it, which a full volume refuses; closed, it goes.
      temp.Reset(-1);
      ::unlinkat(folder.get(), tempName.c_str(), 0);
    }
    result.error = error;
    return result;
  }
  temp.Reset(-1);
  // Makes the rename itself durable. Best effort: a folder that cannot be
  // synced does not undo a page that is already in place.
  ::fsync(folder.get());
  return result;
}

}  // namespace chronolist
