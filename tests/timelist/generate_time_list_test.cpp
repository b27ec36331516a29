// The whole job in a game folder: scan, write, and what happens to the old
// page when writing fails.
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

#ifndef _WIN32
// Runs GenerateTimeList in a child whose files may not grow past `limit`
// bytes, so the write fails part-way. Returns the child's wait status.
int GenerateWithFileSizeLimit(rlim_t limit, bool survive) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (survive) {
      ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
    }
    const rlimit rl{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    const PageWriteResult result = GenerateTimeList();
    ::_exit(result.written() ? 0 : result.error.value() == EFBIG ? 3 : 4);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST(GenerateTimeListFailure, AWriteThatFailsPartWayLeavesTheOldPage) {
  ScratchFolder folder;
  LaySampleReplays();
  WriteBytes(kTimeListFileName, kOldPage);

  const int status = GenerateWithFileSizeLimit(1000, /*survive=*/true);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3) << "expected the failure to be reported as EFBIG";
  EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
}

TEST(GenerateTimeListFailure, AProcessKilledMidWriteLeavesTheOldPage) {
  ScratchFolder folder;
  LaySampleReplays();
  WriteBytes(kTimeListFileName, kOldPage);

  const int status = GenerateWithFileSizeLimit(1000, /*survive=*/false);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
}

TEST(GenerateTimeListFailure, ALimitAboveThePageSizeStillSucceeds) {
  ScratchFolder folder;
  LaySampleReplays();
  const int status = GenerateWithFileSizeLimit(SamplePage().size(), /*survive=*/true);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
}

#endif  // _WIN32

}  // namespace
}  // namespace chronolist
