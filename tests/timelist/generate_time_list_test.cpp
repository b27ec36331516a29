// The whole job in a game folder: scan, write, and what happens to the old
// page when writing fails.
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "page_fixture.h"
#include "support/scratch_folder.h"
#include "timelist/time_list_page.h"

namespace chronolist {
namespace {

namespace fs = std::filesystem;
using testing::ExpectedPage;
using testing::ReadBytes;
using testing::ReplayFile;
using testing::ScratchFolder;
using testing::WriteBytes;

const std::string kOldPage = "<HTML>the previous list, which must survive</HTML>\n";

// Every name in the working folder, so that stray temporary files show up.
std::vector<std::string> FolderEntries() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(".")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void LaySampleReplays() {
  WriteBytes(ReplayFile(1), std::string(100, 'x'));
  WriteBytes(ReplayFile(111), std::string(1875, 'x'));
  WriteBytes(ReplayFile(125), std::string(9000, '\x1a'));
  WriteBytes(ReplayFile(151), "");
  WriteBytes(ReplayFile(152), std::string(77, 'x'));
}

const std::string& SamplePage() {
  static const std::string page =
      ExpectedPage({{111, "01:02:15"}, {125, "05:00:00"}, {151, "00:00:00"}});
  return page;
}

TEST(GenerateTimeList, WritesTheExactPage) {
  ScratchFolder folder;
  LaySampleReplays();
  const PageWriteResult result = GenerateTimeList();
  ASSERT_TRUE(result.written()) << result.reason();
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

TEST(GenerateTimeList, WithoutReplayFolderListsEveryRoomAsNone) {
  ScratchFolder folder;
  ASSERT_TRUE(GenerateTimeList().written());
  EXPECT_EQ(ReadBytes(kTimeListFileName), ExpectedPage({}));
}

TEST(GenerateTimeList, ReplacesAnExistingPageAndRepeatsIdentically) {
  ScratchFolder folder;
  LaySampleReplays();
  WriteBytes(kTimeListFileName, kOldPage + std::string(20000, 'o'));
  ASSERT_TRUE(GenerateTimeList().written());
  const std::string first = ReadBytes(kTimeListFileName);
  EXPECT_EQ(first, SamplePage());
  ASSERT_TRUE(GenerateTimeList().written());
  EXPECT_EQ(ReadBytes(kTimeListFileName), first);
}

#ifndef _WIN32
TEST(GenerateTimeList, ReplacesASymlinkInsteadOfWritingThroughIt) {
  ScratchFolder folder;
  LaySampleReplays();
  WriteBytes("elsewhere.html", kOldPage);
  fs::create_symlink("elsewhere.html", kTimeListFileName);
  ASSERT_TRUE(GenerateTimeList().written());
  EXPECT_FALSE(fs::is_symlink(kTimeListFileName));
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
  EXPECT_EQ(ReadBytes("elsewhere.html"), kOldPage);
}

#endif  // _WIN32

TEST(GenerateTimeListFailure, AFolderInThePagesPlaceIsReportedAndKept) {
  ScratchFolder folder;
  LaySampleReplays();
  fs::create_directory(kTimeListFileName);
  WriteBytes(std::string(kTimeListFileName) + "/keep.txt", kOldPage);

  const PageWriteResult result = GenerateTimeList();
  EXPECT_FALSE(result.written());
  EXPECT_FALSE(result.reason().empty());
  EXPECT_EQ(ReadBytes(std::string(kTimeListFileName) + "/keep.txt"), kOldPage);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

// A temporary page left by a writer that died is removed by the next run; one
// that a live writer holds is not. The old names, 100 a process id, are
// cleared too, so a writer that always has the same pid is never stuck.
TEST(GenerateTimeListTemporaries, DeadWritersFilesGoLiveWritersFilesStay) {
  ScratchFolder folder;
  LaySampleReplays();
  const std::string held = std::string(kTimeListFileName) + ".tmp-0123456789abcdef";
  for (int attempt = 0; attempt < 100; ++attempt) {
    WriteBytes(std::string(kTimeListFileName) + ".tmp-1-" + std::to_string(attempt), "<HTML>half");
  }
  WriteBytes(held, "<HTML>being written");
  // The user's own files, and a link to one elsewhere, under names that only
  // look like ours.
  const std::vector<std::string> kept{
      "elsewhere", "replistEX.html.bak", "replistEX.html.tmp-0123456789abcdef.bak",
      "replistEX.html.tmp-fedcba987654321F", "replistEX.html.tmp-my-notes.txt"};
  for (const std::string& name : kept) {
    WriteBytes(name == "elsewhere" ? "elsewhere/notes.txt" : name, "not ours");
  }
#ifndef _WIN32
  fs::create_symlink("elsewhere/notes.txt", "replistEX.html.tmp-fedcba9876543210");
#endif
  {
    // What a writer does to its temporary file while it writes.
#ifdef _WIN32
    const HANDLE writer = ::CreateFileW(fs::path(held).c_str(), GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
#else
    const int writer = ::open(held.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
#endif
    const PageWriteResult result = GenerateTimeList();
#ifdef _WIN32
    ::CloseHandle(writer);
#else
    ::close(writer);
#endif
    ASSERT_TRUE(result.written()) << result.reason();
  }
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
  EXPECT_EQ(ReadBytes(held), "<HTML>being written");
  std::vector<std::string> left = kept;
  left.insert(left.end(), {"replay", "replistEX.html", held});
#ifndef _WIN32
  left.push_back("replistEX.html.tmp-fedcba9876543210");
#endif
  std::sort(left.begin(), left.end());
  EXPECT_EQ(FolderEntries(), left);

  ASSERT_TRUE(GenerateTimeList().written());
  std::erase(left, held);
  EXPECT_EQ(FolderEntries(), left);
  EXPECT_EQ(ReadBytes("elsewhere/notes.txt"), "not ours");
  EXPECT_EQ(ReadBytes("replistEX.html.tmp-my-notes.txt"), "not ours");
}

#ifdef _WIN32
// Windows refuses to replace a page that another run or a reader still holds
// open: two runs at once must cost a moment, not a page. A page held open for
// good still fails, with the system's reason, and stays whole.
TEST(GenerateTimeList, ConcurrentWritersAllSucceedAndAHeldPageFailsWhole) {
  ScratchFolder folder;
  LaySampleReplays();
  constexpr int kWrites = 300;
  std::atomic<int> failures = 0;
  const auto writer = [&failures] {
    for (int write = 0; write < kWrites; ++write) {
      failures += GenerateTimeList().written() ? 0 : 1;
    }
  };
  std::thread other(writer);
  writer();
  other.join();
  std::cout << "concurrent writers: " << 2 * kWrites << " writes, " << failures << " failed\n";
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());

  WriteBytes(kTimeListFileName, kOldPage);
  const HANDLE reader = ::CreateFileW(L"replistEX.html", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  const PageWriteResult held = GenerateTimeList();
  ::CloseHandle(reader);
  EXPECT_EQ(held.error.value(), ERROR_ACCESS_DENIED) << held.reason();
  EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

TEST(GenerateTimeListFailure, AReadOnlyPageIsKept) {
  ScratchFolder folder;
  LaySampleReplays();
  WriteBytes(kTimeListFileName, kOldPage);
  fs::permissions(kTimeListFileName, fs::perms::owner_write, fs::perm_options::remove);
  const PageWriteResult result = GenerateTimeList();
  EXPECT_EQ(result.error.value(), ERROR_ACCESS_DENIED) << result.reason();
  EXPECT_TRUE(result.previousPageKept);
  fs::permissions(kTimeListFileName, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

#else
// Runs `job` in a child and returns its exit status, or -signal.
template <typename Job>
int InChild(Job job) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(job());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// 0 when the page was written, else its errno (capped for an exit status).
int GenerateExitCode() {
  const PageWriteResult result = GenerateTimeList();
  return result.written() ? 0 : std::min(result.error.value(), 125);
}

// With its folder removed under it there is no previous page to keep, and
// the page is named as it can still be named.
TEST(GenerateTimeListFailure, ARemovedFolderIsNoPreviousPage) {
  ScratchFolder folder;
  fs::create_directory("game");
  fs::current_path("game");
  fs::remove("../game");
  const PageWriteResult result = GenerateTimeList();
  EXPECT_EQ(result.error, std::errc::no_such_file_or_directory) << result.reason();
  EXPECT_FALSE(result.previousPageKept);
  EXPECT_EQ(result.path, kTimeListFileName);
}

// The write fails part-way, as on a full disk: no signal death, nothing
// left behind, the old page (or none) as it was.
TEST(GenerateTimeListFailure, AFileSizeLimitFailsLikeAFullDisk) {
  for (const bool withOldPage : {true, false}) {
    ScratchFolder folder;
    LaySampleReplays();
    if (withOldPage) {
      WriteBytes(kTimeListFileName, kOldPage);
    }
    const int status = InChild([] {
      const rlimit limit{1000, 1000};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      return GenerateExitCode();
    });
    EXPECT_EQ(status, EFBIG) << "-" << SIGXFSZ << " is death by SIGXFSZ";
    if (withOldPage) {
      EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
      EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
    } else {
      EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay"}));
    }
  }
}

TEST(GenerateTimeListFailure, ALimitAboveThePageSizeStillSucceeds) {
  ScratchFolder folder;
  LaySampleReplays();
  const int status = InChild([] {
    const rlimit limit{SamplePage().size(), SamplePage().size()};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return GenerateExitCode();
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
}

// Writers killed at random points: the page is always the old one or the
// whole new one, and the next good run leaves nothing else in the folder.
TEST(GenerateTimeListFailure, WritersKilledAtRandomNeverLeaveAPartialPage) {
  ScratchFolder folder;
  LaySampleReplays();
  // Kills spread over about one whole child's life, from fork to exit.
  std::vector<long> lives;
  for (int run = 0; run < 5; ++run) {
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(InChild(GenerateExitCode), 0);
    lives.push_back(static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now() - started)
                                          .count()));
  }
  std::sort(lives.begin(), lives.end());
  const long window = lives[2];

  std::mt19937 random(std::random_device{}());
  constexpr int kRuns = 300;
  int kills = 0;
  int partialPages = 0;
  std::set<std::string> filesLeft;
  for (int run = 0; run < kRuns; ++run) {
    WriteBytes(kTimeListFileName, kOldPage);
    const pid_t child = ::fork();
    if (child == 0) {
      ::_exit(GenerateExitCode());
    }
    ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<long>(0, window)(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) {
      ++kills;
    } else {
      EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    const std::string page = ReadBytes(kTimeListFileName);
    partialPages += page != kOldPage && page != SamplePage();
    for (const std::string& name : FolderEntries()) {
      if (name != "replay" && name != kTimeListFileName) {
        filesLeft.insert(name);
      }
    }
  }
  ASSERT_TRUE(GenerateTimeList().written());
  const int leftAfterGoodRun = static_cast<int>(FolderEntries().size()) - 2;
  std::cout << "kill loop: " << kRuns << " runs, " << kills << " killed (window " << window
            << " us), " << partialPages << " partial pages, " << filesLeft.size()
            << " files left by killed writers, " << leftAfterGoodRun
            << " left after the next good run\n";
  EXPECT_EQ(partialPages, 0);
  EXPECT_GT(kills, kRuns / 10) << "the window missed the writes";
  EXPECT_EQ(leftAfterGoodRun, 0);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

// Checks as a user without privileges, in a folder that user owns: root
// may write any page and would hide the faults.
class GenerateTimeListAsUser : public ::testing::Test {
 protected:
  void SetUp() override {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    uid_ = nobody->pw_uid;
    gid_ = nobody->pw_gid;
    LaySampleReplays();
    for (const auto& entry : fs::recursive_directory_iterator(".")) {
      ASSERT_EQ(::lchown(entry.path().c_str(), uid_, gid_), 0);
    }
    ASSERT_EQ(::chown(".", uid_, gid_), 0);
  }
  void OwnPage(mode_t mode) {
    WriteBytes(kTimeListFileName, kOldPage);
    ASSERT_EQ(::chown(kTimeListFileName, uid_, gid_), 0);
    ASSERT_EQ(::chmod(kTimeListFileName, mode), 0);
  }
  int GenerateAsUser() {
    return InChild([this] {
      if (::setgid(gid_) != 0 || ::setuid(uid_) != 0) {
        return 126;
      }
      ::umask(022);
      return GenerateExitCode();
    });
  }
  struct stat PageStatus() {
    struct stat status {};
    EXPECT_EQ(::stat(kTimeListFileName, &status), 0);
    return status;
  }

  ScratchFolder folder_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

TEST_F(GenerateTimeListAsUser, AReadOnlyPageIsKept) {
  OwnPage(0444);
  EXPECT_EQ(GenerateAsUser(), EACCES);
  EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
  EXPECT_EQ(PageStatus().st_mode & 07777, 0444u);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

TEST_F(GenerateTimeListAsUser, AReplacedPageKeepsItsModeAndOwner) {
  OwnPage(0600);
  EXPECT_EQ(GenerateAsUser(), 0);
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
  EXPECT_EQ(PageStatus().st_mode & 07777, 0600u) << "the umask must not widen a private page";

  // Root replacing the user's page leaves it the user's.
  ASSERT_EQ(::chmod(kTimeListFileName, 0640), 0);
  WriteBytes(ReplayFile(111), "");
  ASSERT_TRUE(GenerateTimeList().written());
  const struct stat status = PageStatus();
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(status.st_uid, uid_);
  EXPECT_EQ(status.st_gid, gid_);
  EXPECT_EQ(ReadBytes(kTimeListFileName),
            ExpectedPage({{111, "00:00:00"}, {125, "05:00:00"}, {151, "00:00:00"}}));
}

// The drives players keep games on, mounted as desktops mount them: owned by
// root and open to all where the file system keeps no modes. Each takes the
// page twice from root and twice from another user, while a third user
// watching the folder grabs every temporary file it can open; then it is
// filled up. Mount commands get the image as %1$s, the mount point as %2$s.
TEST(GenerateTimeListOnDrives, TwoWritesPerUserThenAFullDrive) {
  if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0) {
    GTEST_SKIP() << "mounting the drive images needs root and /dev/fuse";
  }
  const struct {
    const char* name;
    const char* mount;
    int expected;
    bool keepsModes;
  } drives[] = {
      {"host", "chmod 777 %2$s", 0, true},
      {"tmpfs", "mount -t tmpfs -o size=1m,mode=777 none %2$s", 0, true},
      {"exFAT", "mkfs.exfat %1$s && mount -t exfat-fuse -o loop,umask=0,allow_other %1$s %2$s", 0,
       false},
      {"FAT", "mkfs.fat %1$s && fusefat -o rw+,allow_other %1$s %2$s", 0, false},
      {"NTFS", "mkntfs -Fqf %1$s && ntfs-3g -o umask=0,allow_other %1$s %2$s", 0, false},
      {"NTFS-modes", "mkntfs -Fqf %1$s && ntfs-3g -o permissions,allow_other %1$s %2$s", 0, true},
      {"read-only", "mount -t tmpfs -o size=1m,mode=777 none %2$s", EROFS, true},
  };
  ScratchFolder folder;
  for (const auto& drive : drives) {
    SCOPED_TRACE(drive.name);
    fs::current_path(folder.path());
    fs::create_directory(drive.name);
    char mount[512];
    const std::string image = drive.name + std::string(".img");
    std::snprintf(mount, sizeof mount, drive.mount, image.c_str(), drive.name);
    ASSERT_EQ(
        std::system(("truncate -s 8M " + image + " && (" + mount + ") >/dev/null 2>&1").c_str()),
        0);
    // Unmounted, and the watcher gone, however the checks below end.
    struct Mounted {
      const fs::path& home;
      const std::string name;
      pid_t watcher = -1;
      ~Mounted() {
        if (watcher > 0 && ::kill(watcher, SIGKILL) == 0) {
          ::waitpid(watcher, nullptr, 0);
        }
        fs::current_path(home);
        std::system(("umount -l " + name + " 2>/dev/null").c_str());
      }
    } mounted{folder.path(), drive.name};
    fs::current_path(drive.name);
    std::system("chmod 777 . 2>/dev/null");
    LaySampleReplays();
    WriteBytes(kTimeListFileName, kOldPage);
    if (drive.expected == EROFS) {
      std::system("mount -o remount,ro .");
    }
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ::inotify_add_watch(watch, ".", IN_CREATE);
    int grabs[2];
    ASSERT_EQ(::pipe(grabs), 0);
    const pid_t watcher = mounted.watcher = ::fork();
    if (watcher == 0) {
      ::setuid(4242);
      alignas(inotify_event) char events[4096];
      for (ssize_t got; (got = ::read(watch, events, sizeof events)) > 0;) {
        for (char* at = events; at < events + got;
             at += sizeof(inotify_event) + ((inotify_event*)at)->len) {
          const int file = ::open(((inotify_event*)at)->name, O_RDONLY | O_NONBLOCK);
          struct stat opened {};
          ::flock(file, LOCK_EX | LOCK_NB);  // held until killed: the writer must not wait
          if (file >= 0 && ::fstat(file, &opened) == 0 &&
              opened.st_size < static_cast<off_t>(SamplePage().size())) {
            [[maybe_unused]] const ssize_t told = ::write(grabs[1], "g", 1);  // read half-written
          }
        }
      }
      ::_exit(0);
    }
    ::close(grabs[1]);
    std::string results;
    for (const uid_t user : {0u, 65534u}) {
      for (const char* write : {"first", "second"}) {
        const int status = InChild([user] {
          ::alarm(30);
          return user != 0 && (::setgid(user) != 0 || ::setuid(user) != 0) ? 126
                                                                           : GenerateExitCode();
        });
        results +=
            std::string(" ") + (user ? "user " : "root ") + write + "=" + std::to_string(status);
        EXPECT_EQ(status, drive.expected);
        EXPECT_EQ(ReadBytes(kTimeListFileName), drive.expected ? kOldPage : SamplePage());
        // What the FUSE library keeps of the files the watcher still holds open.
        std::vector<std::string> entries = FolderEntries();
        std::erase_if(entries,
                      [](const std::string& name) { return name.starts_with(".fuse_hidden"); });
        EXPECT_EQ(entries, (std::vector<std::string>{"replay", "replistEX.html"}));
      }
      if (!drive.expected) {
        fs::remove(kTimeListFileName);
      }
    }
    ::kill(watcher, SIGKILL);
    ::waitpid(watcher, nullptr, 0);
    mounted.watcher = -1;
    char grabbed[64];
    const ssize_t grabCount = ::read(grabs[0], grabbed, sizeof grabbed);
    ::close(grabs[0]);
    ::close(watch);
    if (drive.keepsModes) {
      EXPECT_LE(grabCount, 0) << "another user read a page before it was complete";
    }
    if (std::string(drive.name) != "host" && !drive.expected) {
      WriteBytes(kTimeListFileName, kOldPage);
      std::system("head -c 20M /dev/zero > filler 2>/dev/null");
      const int full = InChild(GenerateExitCode);
      results += " full=" + std::to_string(full);
      EXPECT_NE(full, 0);  // fusefat says EPERM
      EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
      EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"filler", "replay", "replistEX.html"}));
    }
    std::cout << drive.name << ":" << results << ", another user read "
              << std::max<ssize_t>(grabCount, 0) << " half-written\n";
  }
}

#endif  // _WIN32

}  // namespace
}  // namespace chronolist
