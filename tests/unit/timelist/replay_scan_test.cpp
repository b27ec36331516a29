// The replay scan on real folders: lengths become frame counts, and nothing
// that is not a readable regular replay yields a time or stalls the scan.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <thread>

#include "support/scratch_folder.h"
#include "timelist/replay_scan.h"

namespace chronolist {
namespace {

using test::MakeSparseFile;
using test::ReplayFile;
using test::ScratchFolder;
using test::WriteBytes;

RunTimeTable Scan() {
  RunTimeTable table;
  table.fill(-1);  // the scan must overwrite every slot
  EXPECT_FALSE(ScanReplays(table));
  return table;
}

TEST(ReplayScan, WithoutReplayFolderEveryRoomHasNoRun) {
  ScratchFolder folder;
  for (std::int32_t slot : Scan()) {
    EXPECT_EQ(slot, kNoRun);
  }
}

TEST(ReplayScan, LengthInBytesIsTheRunTime) {
  ScratchFolder folder;
  WriteBytes(ReplayFile(1), std::string(17, 'a'));
  WriteBytes(ReplayFile(111), std::string(1862, '\0'));
  WriteBytes(ReplayFile(151), "");
  WriteBytes(ReplayFile(199), std::string(3, 'z'));
  // Binary: 0x1A and CR LF are bytes like any other.
  WriteBytes(ReplayFile(120), std::string("\x1a\r\n\r\n\x1a\x1a\r\n\n", 10));

  const RunTimeTable table = Scan();
  EXPECT_EQ(table[1], 17);
  EXPECT_EQ(table[111], 1862);
  EXPECT_EQ(table[151], 0);
  EXPECT_EQ(table[199], 3);
  EXPECT_EQ(table[120], 10);
  EXPECT_EQ(table[0], kNoRun);
  EXPECT_EQ(table[2], kNoRun);
  EXPECT_EQ(table[150], kNoRun);
}

TEST(ReplayScan, OnlyRoomsOneTo199AreLookedAt) {
  ScratchFolder folder;
  WriteBytes("replay/map000.bdb", "12345");
  WriteBytes("replay/map200.bdb", "12345");
  WriteBytes("replay/map1000.bdb", "12345");
  WriteBytes("replay/map0111.bdb", "12345");
  WriteBytes("replay/map11.bdb", "12345");
  for (std::int32_t slot : Scan()) {
    EXPECT_EQ(slot, kNoRun);
  }
}

TEST(ReplayScan, HugeLengthsNeitherWrapNorCostAnything) {
  ScratchFolder folder;
  // Exactly the sentinel: indistinguishable from a missing replay.
  MakeSparseFile(ReplayFile(112), kNoRun);
  MakeSparseFile(ReplayFile(113), kNoRun + 1);
  MakeSparseFile(ReplayFile(114), std::uintmax_t{INT32_MAX});
  MakeSparseFile(ReplayFile(115), std::uintmax_t{INT32_MAX} + 1);
  MakeSparseFile(ReplayFile(116), std::uintmax_t{3} << 30);
  MakeSparseFile(ReplayFile(117), std::uintmax_t{1} << 34);

  const RunTimeTable table = Scan();
  EXPECT_EQ(table[112], kNoRun);
  EXPECT_EQ(table[113], kNoRun + 1);
  EXPECT_EQ(table[114], INT32_MAX);
  EXPECT_EQ(table[115], INT32_MAX);
  EXPECT_EQ(table[116], INT32_MAX);
  EXPECT_EQ(table[117], INT32_MAX);
}

TEST(ReplayScan, AFolderNamedLikeAReplayHasNoRun) {
  ScratchFolder folder;
  std::filesystem::create_directories(ReplayFile(121));  // also makes replay/
  WriteBytes(ReplayFile(121) + "/inner", "abc");
  WriteBytes(ReplayFile(122), "12345678");
  const RunTimeTable table = Scan();
  EXPECT_EQ(table[121], kNoRun);
  EXPECT_EQ(table[122], 8);
}

#ifndef _WIN32
TEST(ReplayScan, NamesThatAreNotRegularFilesHaveNoRunAndAreNeverOpened) {
  ScratchFolder folder;
  std::filesystem::create_directories(ReplayFile(121));  // also makes replay/
  WriteBytes(ReplayFile(121) + "/inner", "abc");
  // A FIFO with no writer: opening it for a blocking read would wait forever.
  ASSERT_EQ(::mkfifo(ReplayFile(122).c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", ReplayFile(123));
  std::filesystem::create_symlink("nowhere.bdb", ReplayFile(124));
  // A symlink to a real replay is that replay.
  WriteBytes("replay/real.bdb", "12345678");
  std::filesystem::create_symlink("real.bdb", ReplayFile(125));
  // Opening a device can act on it (a tape rewinds): none may be opened, not
  // even one swapped in for a replay while the scan looks at it. The FIFO
  // tells when it is.
  const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(opens, ReplayFile(122).c_str(), IN_OPEN), 0);
  std::atomic<bool> done = false;
  std::thread swapper([&done] {
    for (const char* next = "real.bdb"; !done; next = next[0] == 'r' ? "map122.bdb" : "real.bdb") {
      ::symlink(next, "replay/next.bdb");
      ::rename("replay/next.bdb", ReplayFile(111).c_str());
    }
  });
  RunTimeTable table;
  int swappedFiles = 0;
  for (int scan = 0; scan < 2000; ++scan) {
    table = Scan();
    EXPECT_TRUE(table[111] == 8 || table[111] == kNoRun) << table[111];
    swappedFiles += table[111] == 8;
  }
  done = true;
  swapper.join();
  alignas(inotify_event) char event[sizeof(inotify_event) + NAME_MAX + 1];
  EXPECT_LT(::read(opens, event, sizeof event), 0) << "the FIFO was opened";
  EXPECT_GT(swappedFiles, 0);
  EXPECT_EQ(table[121], kNoRun);
  EXPECT_EQ(table[122], kNoRun);
  EXPECT_EQ(table[123], kNoRun);
  EXPECT_EQ(table[124], kNoRun);
  EXPECT_EQ(table[125], 8);
}

#endif  // _WIN32

TEST(ReplayScan, ATableIsRebuiltFromScratchEachTime) {
  ScratchFolder folder;
  WriteBytes(ReplayFile(140), "abcd");
  RunTimeTable table = Scan();
  EXPECT_EQ(table[140], 4);

  std::filesystem::remove(ReplayFile(140));
  ASSERT_FALSE(ScanReplays(table));
  EXPECT_EQ(table[140], kNoRun);
}

}  // namespace
}  // namespace chronolist
