// The page written as a user without privileges, and on the drives players
// keep games on: checks that need root (to change user and mount drive
// images), so they run with the system tests.
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <memory>

#include "support/child_process.h"
#include "support/page_fixture.h"
#include "support/scratch_folder.h"
#include "timelist/time_list_page.h"

namespace chronolist {
namespace {

namespace fs = std::filesystem;
using test::ExpectedPage;
using test::FolderEntries;
using test::GenerateExitCode;
using test::InChild;
using test::kOldPage;
using test::LaySampleReplays;
using test::ReadBytes;
using test::ReplayFile;
using test::SamplePage;
using test::ScratchFolder;
using test::WriteBytes;

// Checks as a user without privileges, in a folder that user owns: root
// may write any page and would hide the faults.
class GenerateTimeListAsUser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "changing to another user needs root";
    }
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

// A replay folder the user may not list, or may not search, hides every
// run: a failure, not a page of None. One replay the user may not read is
// None.
TEST_F(GenerateTimeListAsUser, AReplayFolderTheUserMayNotReadFailsAndKeepsThePage) {
  OwnPage(0644);
  for (const mode_t mode : {0300, 0600}) {
    ASSERT_EQ(::chmod("replay", mode), 0);
    EXPECT_EQ(GenerateAsUser(), EACCES) << std::oct << mode;
    EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
  }
  ASSERT_EQ(::chmod("replay", 0755), 0);
  ASSERT_EQ(::chmod(ReplayFile(125).c_str(), 0200), 0);
  EXPECT_EQ(GenerateAsUser(), 0);
  EXPECT_EQ(ReadBytes(kTimeListFileName), ExpectedPage({{111, "01:02:15"}, {151, "00:00:00"}}));
}

// A linked page takes the access of its file; a folder's default ACL never
// opens a replaced page to anyone the old one was closed to, even without
// /proc (a chroot, a container), where the temporary file needs a name.
TEST_F(GenerateTimeListAsUser, ANewPageIsNoMoreOpenThanTheOldOne) {
  WriteBytes("mine.html", kOldPage);
  ASSERT_EQ(::chown("mine.html", uid_, gid_), 0);
  ASSERT_EQ(::chmod("mine.html", 0600), 0);
  fs::create_symlink("mine.html", kTimeListFileName);
  EXPECT_EQ(GenerateAsUser(), 0);
  EXPECT_EQ(PageStatus().st_mode & 07777, 0600u);

  // A default ACL, as the kernel stores it: version 2, then entries of a tag
  // and permissions (16 bits each) and an id. Owner rw, user 4242 r, group r,
  // mask rw, others nothing.
  constexpr std::uint32_t kNoId = 0xFFFFFFFF;
  const std::uint32_t acl[] = {2,     0x60001, kNoId, 0x40002, 4242, 0x40004,
                               kNoId, 0x60010, kNoId, 0x00020, kNoId};
  ASSERT_EQ(::setxattr(".", "system.posix_acl_default", acl, sizeof acl, 0), 0);
  ASSERT_EQ(::chmod(kTimeListFileName, 0640), 0);
  EXPECT_EQ(InChild([this] {
              return ::unshare(CLONE_NEWNS) == 0 &&
                             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                             ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0
                         ? GenerateAsUser()
                         : 125;
            }),
            0);
  EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
  EXPECT_EQ(PageStatus().st_mode & 07777, 0640u);
  EXPECT_LT(::getxattr(kTimeListFileName, "system.posix_acl_access", nullptr, 0), 0)
      << "the folder's default ACL reached the page";
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"mine.html", "replay", "replistEX.html"}));
}

// The drives players keep games on, mounted as desktops mount them: owned by
// root, open to all where the file system keeps no modes. Each takes the page
// twice from root and twice from another user, then is filled up. The mount
// commands make image `i` and mount it on `d`.
TEST_F(GenerateTimeListAsUser, TwoWritesPerUserOnEveryDriveThenAFullDrive) {
  if (::access("/dev/fuse", W_OK) != 0 || ::access("/dev/loop-control", W_OK) != 0) {
    GTEST_SKIP() << "mounting drive images needs /dev/fuse and loop devices";
  }
  for (const auto& [drive, mount] :
       {std::pair{"exFAT", "mkfs.exfat i && mount -t exfat-fuse -o loop,umask=0,allow_other i d"},
        {"FAT", "mkfs.fat i && fusefat -o rw+,allow_other i d"},
        {"NTFS", "mkntfs -Fqf i && ntfs-3g -o umask=0,allow_other i d"},
        {"NTFS-modes", "mkntfs -Fqf i && ntfs-3g -o permissions,allow_other i d"}}) {
    SCOPED_TRACE(drive);
    ScratchFolder folder;
    // However the checks end, nothing stays mounted under the folder.
    const std::shared_ptr<void> unmount(nullptr, [&folder](void*) {
      std::system(("umount -l " + (folder.path() / "d").string()).c_str());
    });
    const std::string make = "exec >/dev/null 2>&1; truncate -s 8M i; mkdir d; ";
    ASSERT_EQ(std::system((make + mount + " && (chmod 777 d || true)").c_str()), 0);
    fs::current_path("d");
    LaySampleReplays();
    WriteBytes(kTimeListFileName, kOldPage);
    const int rootFirst = InChild(GenerateExitCode);
    const int rootSecond = InChild(GenerateExitCode);
    fs::remove(kTimeListFileName);  // for the other user's first write
    const int userFirst = GenerateAsUser();
    EXPECT_EQ((std::vector{rootFirst, rootSecond, userFirst, GenerateAsUser()}), std::vector(4, 0));
    // Three writers at once: ntfs-3g renames in steps, and the page vanishes
    // for a moment in between.
    if (std::string_view(drive).starts_with("NTFS")) {
      const auto writes = [] {
        return InChild([] {
          int failed = 0;
          for (int write = 0; write < 100; ++write) {
            failed += GenerateExitCode() != 0;
          }
          return failed;
        });
      };
      auto second = std::async(std::launch::async, writes);
      auto third = std::async(std::launch::async, writes);
      EXPECT_EQ((std::vector{writes(), second.get(), third.get()}), std::vector(3, 0));
    }
    EXPECT_EQ(ReadBytes(kTimeListFileName), SamplePage());
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"replay", "replistEX.html"}));
    fs::remove(kTimeListFileName);  // fusefat loses a file rewritten in place when it fills
    WriteBytes(kTimeListFileName, kOldPage);
    std::system("head -c 20M /dev/zero > filler 2>/dev/null");
    EXPECT_NE(InChild(GenerateExitCode), 0);
    EXPECT_EQ(ReadBytes(kTimeListFileName), kOldPage);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"filler", "replay", "replistEX.html"}));
  }
}

}  // namespace
}  // namespace chronolist
