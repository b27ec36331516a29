#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "timelist/file_system.h"
#include "timelist/folder.h"

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

// "/proc/self/fd/<fd>": the object `fd` refers to, by a name the system
// calls functions on that take no descriptor.
struct ProcFdPath {
  explicit ProcFdPath(int fd) { std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd); }
  char path[32];
};

// Whether the user may access (R_OK, W_OK) the object `fd` refers to, which
// may be an O_PATH descriptor: 0, or the errno that says why not. Asked of
// the object itself, never of a name that could lead elsewhere by now. Before
// Linux 5.8 the flags are emulated without AT_EMPTY_PATH, so the object is
// asked through /proc; with no /proc either, the call that uses the file will
// tell, and 0 is returned.
int AccessOf(int fd, int mode) {
  if (::faccessat(fd, "", mode, AT_EMPTY_PATH | AT_EACCESS) == 0) {
    return 0;
  }
  if (errno != ENOENT && errno != ENOSYS && errno != EINVAL) {
    return errno;
  }
  const ProcFdPath self(fd);
  if (::faccessat(AT_FDCWD, self.path, mode, AT_EACCESS) == 0) {
    return 0;
  }
  return errno == ENOENT ? 0 : errno;
}

// What can keep a name from being looked at without anything being wrong:
// it is not there, it is a broken link or a loop of links, or the user may not
// see it. Any other error is a failure.
bool IsAbsence(int error) {
  return error == ENOENT || error == ENOTDIR || error == ELOOP || error == EACCES || error == EPERM;
}

// Opens the folder at `path` (empty: the working folder) with `flags`. A path
// longer than the system takes in one call is walked a step at a time, so a
// game folder may lie as deep as the file system allows.
int OpenFolder(const std::string& path, int flags) {
  flags |= O_DIRECTORY | O_CLOEXEC;
  const int fd = ::open(path.empty() ? "." : path.c_str(), flags);
  if (fd >= 0 || errno != ENAMETOOLONG) {
    return fd;
  }
  FileDescriptor at(::open(path.front() == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::size_t start = 0;
  while (at.get() >= 0 && start < path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string step = path.substr(start, end - start);
    start = end + 1;
    if (!step.empty()) {
      const bool last = path.find_first_not_of('/', end) == std::string::npos;
      at.Reset(::openat(at.get(), step.c_str(), last ? flags : O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
  }
  const int opened = at.get();
  at.Release();
  return opened;
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
// private (0600) until its mode is set. With `unnamed`, on Linux, it has no
// name until it is complete; where the file system cannot do that, or
// without `unnamed`, it gets a fresh random name, created exclusively, and
// `tempName` is set.
int CreateLockedTemporary(int folder, const std::string& prefix, [[maybe_unused]] bool unnamed,
                          std::string& tempName) {
  tempName.clear();
#ifdef O_TMPFILE
  const int nameless = unnamed ? ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600) : -1;
  if (nameless >= 0) {
    // Nobody else can reach it before it is linked: the lock is free.
    ::flock(nameless, LOCK_EX | LOCK_NB);
    return nameless;
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
  const ProcFdPath self(fd);
  for (;;) {
    tempName = prefix + RandomSuffix();
    if (::linkat(AT_FDCWD, self.path, folder, tempName.c_str(), AT_SYMLINK_FOLLOW) == 0) {
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

ReplayLookFailure MeasureReplays(const std::string& gameFolder, const std::string* names,
                                 std::optional<std::uint64_t>* lengths, std::size_t count) {
  std::fill(lengths, lengths + count, std::nullopt);
  const FileDescriptor game(OpenFolder(gameFolder, O_PATH));
  if (game.get() < 0) {
    return {LastError(), {}};
  }
  // Opened for reading, which needs leave to list it; looking it up from
  // itself needs leave to search it. A folder the user may not do both in
  // hides every replay: that is a failure, not a page of None.
  const FileDescriptor replay(::openat(game.get(), "replay", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (replay.get() < 0 && (errno == ENOENT || errno == ENOTDIR)) {
    return {};
  }
  if (replay.get() < 0 || ::faccessat(replay.get(), ".", F_OK, 0) != 0) {
    return {LastError(), "replay"};
  }
  struct stat status {};
  for (std::size_t i = 0; i < count; ++i) {
    // Only looked at, never opened: a device or FIFO put in a replay's place
    // meanwhile is not touched, and the type is that of what is there.
    int error = ::fstatat(replay.get(), names[i].c_str(), &status, 0) == 0 ? 0 : errno;
    if (error == 0 && S_ISREG(status.st_mode)) {
      error = ::faccessat(replay.get(), names[i].c_str(), R_OK, AT_EACCESS) == 0 ? 0 : errno;
      if (error == 0) {
        lengths[i] = static_cast<std::uint64_t>(status.st_size);
      }
    }
    if (error != 0 && !IsAbsence(error)) {
      return {{error, std::system_category()}, "replay/" + names[i]};
    }
  }
  return {};
}

namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";

// The page as it is before the replace: whether there is one, and what a
// replaced page must keep of it.
struct PageLook {
  std::error_code error;
  // A regular file is there, itself or behind a link.
  bool exists = false;
  struct stat status {};
  // Its access ACL; empty with none, and unknown (nullopt) where it cannot
  // be read.
  std::optional<std::string> acl;
};

std::optional<std::string> AccessAclOf(int fd) {
  // Attributes cannot be read through an O_PATH descriptor, but through its
  // /proc name they can.
  const ProcFdPath self(fd);
  char value[4096];
  const ssize_t size = ::getxattr(self.path, kAccessAcl, value, sizeof value);
  if (size >= 0) {
    return std::string(value, static_cast<std::size_t>(size));
  }
  if (errno == ENODATA || errno == ENOTSUP) {
    return std::string();
  }
  return std::nullopt;
}

// Looks at the page `name` in `folder`, through a link to the file it leads
// to. Only a page that is not there (or a broken link) counts as none: any
// other error is the write's failure. Another writer's rename, which ntfs-3g
// does in steps, can make the page vanish between two looks for a moment:
// then it is looked at again.
PageLook LookAtPage(int folder, const std::string& name) {
  constexpr int kLooks = 50;
  for (int look = 1;; ++look) {
    PageLook page;
    const FileDescriptor file(::openat(folder, name.c_str(), O_PATH | O_CLOEXEC));
    int error = file.get() < 0 ? errno : 0;
    struct stat named {};
    if (error == ENOENT &&
        (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 ? S_ISLNK(named.st_mode)
                                                                           : errno == ENOENT)) {
      return page;
    }
    if (error == 0 && ::fstat(file.get(), &page.status) != 0) {
      error = errno;
    }
    if (error == ENOENT && look < kLooks) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    if (error == 0 && !S_ISREG(page.status.st_mode)) {
      return page;  // a folder or a device: the rename decides
    }
    // A page the user may not write stays, as it would for a plain
    // truncating write.
    if (error == 0) {
      error = AccessOf(file.get(), W_OK);
    }
    if (error != 0) {
      page.error = {error, std::system_category()};
      return page;
    }
    page.exists = true;
    page.acl = AccessAclOf(file.get());
    return page;
  }
}

// Gives the complete temporary file the access of the page it replaces, or
// that of any new file of the user's. An ACL that the folder's default gave
// it must not open a replaced page to anyone the old one was closed to: the
// old page's own ACL is copied, or the inherited one is dropped.
std::error_code SetAccess(int fd, const PageLook& page) {
  if (!page.exists) {
    return SetMode(fd, 0666 & ~CurrentUmask(), 0777);
  }
  const std::string acl = page.acl.value_or(std::string());
  if ((acl.empty() || ::fsetxattr(fd, kAccessAcl, acl.data(), acl.size(), 0) != 0) &&
      ::fgetxattr(fd, kAccessAcl, nullptr, 0) >= 0 && ::fremovexattr(fd, kAccessAcl) != 0) {
    return LastError();
  }
  const mode_t mode = page.status.st_mode & 0777;
  return SetMode(fd, mode, mode);
}

// Gives a temporary file the page's owner and group, or at least its group.
// An owner we may not give away is no failure: the mode is what matters.
void SetOwner(int fd, const PageLook& page) {
  struct stat created {};
  if (!page.exists || ::fstat(fd, &created) != 0 ||
      (created.st_uid == page.status.st_uid && created.st_gid == page.status.st_gid) ||
      ::fchown(fd, page.status.st_uid, page.status.st_gid) == 0) {
    return;
  }
  [[maybe_unused]] const bool groupKept =
      ::fchown(fd, static_cast<uid_t>(-1), page.status.st_gid) == 0;
}

// Fills a temporary file and makes it durable: the bytes, then the access,
// open to others only now, then the sync.
std::error_code Complete(int fd, std::string_view contents, const PageLook& page) {
  SetOwner(fd, page);
  std::error_code error = WriteAll(fd, contents);
  if (!error) {
    error = SetAccess(fd, page);
  }
  if (!error && ::fsync(fd) != 0) {
    error = LastError();
  }
  return error;
}

// After a failure: whether a page is there, untouched. Asked by path when the
// folder itself could not be opened.
bool PageIsThere(int folder, const std::string& name, const std::string& path) {
  struct stat status {};
  const int looked =
      folder >= 0 ? ::fstatat(folder, name.c_str(), &status, 0) : ::stat(path.c_str(), &status);
  return looked == 0 && S_ISREG(status.st_mode);
}

}  // namespace

ReplaceResult ReplaceFileAtomically(const std::string& path, std::string_view contents) {
  const auto [folderPath, name] = SplitPath(path, "/");
  const std::string prefix = name + kTemporaryInfix;
  ReplaceResult result;
  FileDescriptor folder(OpenFolder(folderPath, O_RDONLY));
  // A folder the user may write but not list still takes the page; only the
  // clearing of abandoned files and the folder's sync need to read it.
  if (folder.get() < 0 && errno == EACCES) {
    folder.Reset(OpenFolder(folderPath, O_PATH));
  }
  std::string tempName;
  FileDescriptor temp(-1);
  // (name by an init-capture: clang 14 cannot capture a structured binding.)
  const auto fail = [&, &name = name](std::error_code error) {
    if (!tempName.empty() && ::unlinkat(folder.get(), tempName.c_str(), 0) != 0) {
      // ntfs-3g sets a file that is still open aside under another name
      // instead of removing it, which a full volume refuses; closed, it goes.
      temp.Reset(-1);
      ::unlinkat(folder.get(), tempName.c_str(), 0);
    }
    result.error = error;
    result.hadFile = PageIsThere(folder.get(), name, path);
    return result;
  };
  if (folder.get() < 0) {
    return fail(LastError());
  }
  RemoveAbandonedTemporaries(folder.get(), name);

  const PageLook page = LookAtPage(folder.get(), name);
  if (page.error) {
    return fail(page.error);
  }
  temp.Reset(CreateLockedTemporary(folder.get(), prefix, true, tempName));
  if (temp.get() < 0) {
    return fail(LastError());
  }
  std::error_code error = Complete(temp.get(), contents, page);
  if (!error && tempName.empty()) {
    error = LinkUnnamed(temp.get(), folder.get(), prefix, tempName);
    // Without /proc, or where the drive will not link it, a named file
    // still does; a full or read-only drive would refuse that too.
    if (error && error != std::errc::no_space_on_device && error.value() != EDQUOT &&
        error != std::errc::read_only_file_system) {
      temp.Reset(CreateLockedTemporary(folder.get(), prefix, false, tempName));
      error = temp.get() < 0 ? LastError() : Complete(temp.get(), contents, page);
    }
  }
  // Renamed while still locked, so that no other run can take it for
  // abandoned in between.
  if (!error && ::renameat(folder.get(), tempName.c_str(), folder.get(), name.c_str()) != 0) {
    error = LastError();
  }
  if (error) {
    return fail(error);
  }
  temp.Reset(-1);
  // Makes the rename itself durable. Best effort: a folder that cannot be
  // synced does not undo a page that is already in place.
  ::fsync(folder.get());
  return result;
}

}  // namespace chronolist
