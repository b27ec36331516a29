// The whole job in a game folder: scan, write, and what happens to the old
// page when writing fails.
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "support/page_fixture.h"
#include "support/scratch_folder.h"
#include "timelist/folder.h"
#include "timelist/time_list_page.h"
#ifndef _WIN32
#include "support/child_process.h"
#endif

namespace chronolist {
namespace {

namespace fs = std::filesystem;
using test::ExpectedPage;
using test::FolderEntries;
#ifndef _WIN32
using test::GenerateExitCode;
using test::InChild;
#endif
using test::kOldPage;
using test::LaySampleReplays;
using test::ReadBytes;
using test::ReplayFile;
using test::SamplePage;
using test::ScratchFolder;
using test::WriteBytes;

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

// Game folders deep in a user's folders: 4,080 bytes, where a replay's full
// path would pass PATH_MAX, and 6,000, where the folder's own does.
TEST(GenerateTimeList, AGameFolderOfAnyLengthTakesThePage) {
  for (const std::size_t length : {4080u, 6000u}) {
    ScratchFolder folder;
    std::string game = folder.path().string();
    while (game.size() + 1 < length) {
      const std::string step(std::min<std::size_t>(200, length - game.size() - 1), 'g');
      ASSERT_EQ(::mkdir(step.c_str(), 0755), 0);
      ASSERT_EQ(::chdir(step.c_str()), 0);
      game += '/' + step;
    }
    LaySampleReplays();
    const PageWriteResult result = GenerateTimeList(game);
    EXPECT_TRUE(result.written()) << length << ": " << result.reason();
    EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage()) << length;
    std::system(("rm -rf " + (folder.path() / "g*").string()).c_str());
  }
}

#endif  // _WIN32

// Two runs at once in one folder. Windows refuses to replace a page that the
// other run still holds open: that must cost a moment, not the page.
TEST(GenerateTimeList, TwoRunsAtOnceBothSucceed) {
  ScratchFolder folder;
  LaySampleReplays();
  std::atomic<int> failures = 0;
  const auto writer = [&failures] {
    for (int write = 0; write < 300; ++write) {
      failures += GenerateTimeList().written() ? 0 : 1;
    }
  };
  std::thread other(writer);
  writer();
  other.join();
  EXPECT_EQ(failures, 0) << "of 600 writes";
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

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
  // The user's own files, under names that only look like ours.
  std::vector<std::string> left{"replay", "replistEX.html"};
  for (const char* mine :
       {".bak", ".tmp-0123456789abcdef.bak", ".tmp-fedcba987654321F", ".tmp-my-notes.txt"}) {
    WriteBytes(left.emplace_back(kTimeListFileName + std::string(mine)), "mine");
  }
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
  left.insert(left.begin() + 3, held);  // in name order
  EXPECT_EQ(FolderEntries(), left);

  ASSERT_TRUE(GenerateTimeList().written());
  std::erase(left, held);
  EXPECT_EQ(FolderEntries(), left);
}

#ifdef _WIN32
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
// `job` in a child on a failing disk, as the system reports it: every look
// at a file's type or size fails with EIO.
template <typename Job>
int OnAFailingDisk(Job job) {
  return InChild([job] {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_fstat, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_newfstatat, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{std::size(filter), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
                   ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0
               ? job()
               : 126;
  });
}

// A replay or a page that cannot be looked at fails the job, and the old
// page stays.
TEST(GenerateTimeListFailure, AnIoErrorOnAReplayOrOnThePageKeepsTheOldPage) {
  ScratchFolder folder;
  LaySampleReplays();
  WriteBytes(kTimeListFileName, kOldPage);
  // The folder as the application gives it: absolute, and named as given.
  const std::string replay = (fs::current_path() / ReplayFile(1)).string();
  EXPECT_EQ(OnAFailingDisk([&replay] {
              const PageWriteResult result = GenerateTimeList(fs::current_path().string());
              return result.unreadPath == replay ? result.error.value() : 0;
            }),
            EIO);
  EXPECT_EQ(OnAFailingDisk([] { return WriteTimeListPage(RunTimeTable{}).error.value(); }), EIO);
  EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
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
  EXPECT_EQ(FolderName(""), (folder.path() / "game (deleted)").string());
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

// A page that is a link to the user's file is a previous page too: a failed
// write leaves the link and the file, and says so.
TEST(GenerateTimeListFailure, ALinkedPageIsKept) {
  ScratchFolder folder;
  LaySampleReplays();
  WriteBytes("mine.html", kOldPage);
  fs::create_symlink("mine.html", kTimeListFileName);
  const int status = InChild([] {
    const rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return GenerateTimeList().previousPageKept ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(fs::is_symlink(kTimeListFileName));
  EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
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

#endif  // _WIN32

}  // namespace
}  // namespace chronolist
