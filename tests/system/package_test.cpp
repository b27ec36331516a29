// The packages as users get them: the .deb's files and control fields, the
// program it installs run from /usr/bin on a private X server and then
// removed, and the Windows zip. `make package` builds what these read.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app_process.h"
#include "program_test.h"
#include "res/version.h"
#include "support/scratch_folder.h"

namespace chronolist {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ReadBytes;
using test::ScratchFolder;

const std::string kDeb = CHRONOLIST_DEB;
const std::string kZip = CHRONOLIST_WINDOWS_ZIP;
const std::string kMetainfo = "usr/share/metainfo/" CHRONOLIST_APP_ID ".metainfo.xml";
const std::vector<int> kIconSizes = {16, 24, 32, 48, 64, 128, 256};

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunCommand(const std::vector<std::string>& argv, std::chrono::seconds timeout = 60s) {
  gui::AppProcess process(
      argv, {.environment = {{"LC_ALL", "C.UTF-8"}, {"DEBIAN_FRONTEND", "noninteractive"}}});
  const std::optional<int> status = process.WaitForExit(timeout);
  if (!status) {
    process.Terminate();
    throw std::runtime_error(argv.front() + " still running after " +
                             std::to_string(timeout.count()) + " s");
  }
  return {*status, process.Stdout(), process.Stderr()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// A PNG's width and height, from its header.
std::pair<int, int> PngSize(const fs::path& file) {
  const std::string bytes = ReadBytes(file);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
    return {0, 0};
  }
  auto be32 = [&](std::size_t at) {
    return static_cast<int>(static_cast<std::uint8_t>(bytes[at]) << 24 |
                            static_cast<std::uint8_t>(bytes[at + 1]) << 16 |
                            static_cast<std::uint8_t>(bytes[at + 2]) << 8 |
                            static_cast<std::uint8_t>(bytes[at + 3]));
  };
  return {be32(16), be32(20)};
}

TEST(DebianPackage, HoldsTheProgramItsDesktopFilesAndDocsOwnedByRoot) {
  const Result listing = RunCommand({"dpkg-deb", "--contents", kDeb});
  ASSERT_EQ(listing.status, 0) << listing.err;
  std::map<std::string, std::string> files;  // path -> mode
  for (const std::string& line : Lines(listing.out)) {
    std::istringstream fields(line);
    std::string mode, owner, size, date, time, path;
    fields >> mode >> owner >> size >> date >> time >> path;
    EXPECT_EQ(owner, "root/root") << line;
    if (mode.front() == '-') {
      files[path] = mode;
    } else {
      EXPECT_EQ(mode, "drwxr-xr-x") << line;
    }
  }
  std::map<std::string, std::string> expected = {
      {"./usr/bin/chronolist", "-rwxr-xr-x"},
      {"./usr/share/applications/chronolist.desktop", "-rw-r--r--"},
      {"./usr/share/doc/chronolist/changelog.gz", "-rw-r--r--"},
      {"./usr/share/doc/chronolist/copyright", "-rw-r--r--"},
      {"./usr/share/icons/hicolor/scalable/apps/chronolist.svg", "-rw-r--r--"},
      {"./usr/share/man/man1/chronolist.1.gz", "-rw-r--r--"},
      {"./" + kMetainfo, "-rw-r--r--"},
  };
  for (int size : kIconSizes) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    expected["./usr/share/icons/hicolor/" + folder + "/apps/chronolist.png"] = "-rw-r--r--";
  }
  EXPECT_EQ(files, expected);
}

TEST(DebianPackage, ControlFieldsAndDependsFromTheProgramsLibraries) {
  const Result control = RunCommand({"dpkg-deb", "--field", kDeb});
  ASSERT_EQ(control.status, 0) << control.err;
  std::map<std::string, std::string> fields;
  for (const std::string& line : Lines(control.out)) {
    const auto colon = line.find(": ");
    if (!line.empty() && line.front() != ' ' && colon != std::string::npos) {
      fields[line.substr(0, colon)] = line.substr(colon + 2);
    }
  }
  EXPECT_EQ(fields["Package"], "chronolist");
  EXPECT_EQ(fields["Version"], CHRONOLIST_VERSION_FULL);
  EXPECT_EQ(fields["Architecture"], "amd64");
  EXPECT_EQ(fields["Section"], "utils");
  EXPECT_EQ(fields.count("Recommends"), 0u) << fields["Recommends"];
  EXPECT_NE(fields["Maintainer"].find('@'), std::string::npos);
  EXPECT_FALSE(fields["Description"].empty());

  // dpkg-shlibdeps writes each library's package with the least version
  // whose symbols the program uses.
  std::map<std::string, std::string> depends;
  std::istringstream list(fields["Depends"]);
  for (std::string entry; std::getline(list >> std::ws, entry, ',');) {
    const auto space = entry.find(' ');
    depends[entry.substr(0, space)] = space == std::string::npos ? "" : entry.substr(space + 1);
  }
  for (const char* package :
       {"libc6", "libstdc++6", "libgcc-s1", "libglib2.0-0", "libgtk-3-0", "libgdk-pixbuf-2.0-0"}) {
    ASSERT_TRUE(depends.count(package)) << package << " missing from " << fields["Depends"];
    EXPECT_EQ(depends[package].rfind("(>= ", 0), 0u) << package << " " << depends[package];
  }
  // Installed without recommends too, the dialog has a Japanese font.
  EXPECT_EQ(depends["fonts-ipafont-gothic"], "| fonts-japanese-gothic | fonts-noto-cjk");
}

TEST(DebianPackage, MetadataValidatesAndEveryIconHasItsFoldersSize) {
  ScratchFolder root;
  const Result unpack = RunCommand({"dpkg-deb", "--extract", kDeb, root.path().string()});
  ASSERT_EQ(unpack.status, 0) << unpack.err;

  const Result appstream =
      RunCommand({"appstreamcli", "validate", "--no-net", (root.path() / kMetainfo).string()});
  EXPECT_EQ(appstream.status, 0) << appstream.out << appstream.err;
  // The app grid finds the program through the desktop entry the metadata names.
  const std::string metainfo = ReadBytes(root.path() / kMetainfo);
  EXPECT_NE(metainfo.find("<launchable type=\"desktop-id\">chronolist.desktop</launchable>"),
            std::string::npos);
  const std::string desktop = ReadBytes(root.path() / "usr/share/applications/chronolist.desktop");
  EXPECT_NE(desktop.find("\nIcon=chronolist\n"), std::string::npos);
  // However narrow the terminal, the page's name is never hyphenated.
  const Result manual = RunCommand({"env", "MANWIDTH=24", "man", "-l",
                                    (root.path() / "usr/share/man/man1/chronolist.1.gz").string()});
  EXPECT_FALSE(std::regex_search(manual.out, std::regex("replis(?!tEX\\.html)"))) << manual.out;

  for (int size : kIconSizes) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(root.path() / "usr/share/icons/hicolor" / folder / "apps/chronolist.png"),
              std::make_pair(size, size))
        << folder;
  }
}

// Installs the package with apt-get as a user would, and removes it again
// however the test ends.
class InstalledPackage : public gui_tests::ProgramTest {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "installing a package needs root";
    }
    ProgramTest::SetUp();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    if (installed_) {
      const Result purge = RunCommand(
          {"apt-get", "purge", "-y", "-o", "DPkg::Lock::Timeout=300", "chronolist"}, 600s);
      EXPECT_EQ(purge.status, 0) << purge.out << purge.err;
      EXPECT_FALSE(fs::exists("/usr/bin/chronolist"));
      EXPECT_FALSE(fs::exists("/usr/share/icons/hicolor/256x256/apps/chronolist.png"));
    }
  }

  void Install() {
    installed_ = true;
    const Result install = RunCommand({"apt-get", "install", "-y", "--no-install-recommends", "-o",
                                       "DPkg::Lock::Timeout=300", kDeb},
                                      600s);
    ASSERT_EQ(install.status, 0) << install.out << install.err;
  }

  bool installed_ = false;
};

TEST_F(InstalledPackage, ProgramFromUsrBinWritesThePageOnReturn) {
  ASSERT_NO_FATAL_FAILURE(Install());
  const Result owner = RunCommand({"dpkg-query", "--search", "/usr/bin/chronolist"});
  EXPECT_EQ(owner.out, "chronolist: /usr/bin/chronolist\n");

  gui_tests::LaySampleReplays();
  const gui::WindowId dialog = Start();
  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(gui_tests::kPage), gui_tests::SamplePage());
}

// Through the desktop entry, as a file manager's Open With starts it on the
// game folder and the app grid starts it on nothing, both in the home folder.
TEST_F(InstalledPackage, DesktopEntryTakesTheGameFolderAndAsksWithoutOne) {
  ASSERT_NO_FATAL_FAILURE(Install());
  // What a file manager lists under Open With for a folder.
  const Result folderApps = RunCommand({"gio", "mime", "inode/directory"});
  EXPECT_EQ(folderApps.out.find("chronolist.desktop"), std::string::npos) << folderApps.out;
  const std::vector<std::string> launch = {"gio", "launch",
                                           "/usr/share/applications/chronolist.desktop"};
  const fs::path game = folder_.path() / "ゲーム";
  test::WriteBytes(game / "replay" / "map111.bdb", std::string(1875, 'x'));
  fs::create_directory("home");
  fs::current_path("home");
  gui::WindowId dialog = Start({game.string()}, {}, launch);
  driver_->SendKey(dialog, "Return");
  ASSERT_TRUE(driver_->WaitUntilGone(dialog));
  EXPECT_EQ(ReadBytes(game / gui_tests::kPage), test::ExpectedPage({{111, "01:02:15"}}));

  dialog = Start({}, {}, launch);
  driver_->SendKey(dialog, "Return");
  const gui::WindowId question = driver_->WaitForWindow("Chronolist");
  driver_->SendKey(question, "Return");
  ASSERT_TRUE(driver_->WaitUntilGone(question));
  EXPECT_TRUE(driver_->Viewable(dialog)) << "No closed the dialog";
  driver_->SendKey(dialog, "Escape");
  ASSERT_TRUE(driver_->WaitUntilGone(dialog));
  dialog_ = 0;
  EXPECT_TRUE(fs::is_empty(".")) << "a page in the home folder";
}

TEST(WindowsZip, HoldsTheStrippedProgramAndItsReadme) {
  const Result listing = RunCommand({"unzip", "-Z1", kZip});
  ASSERT_EQ(listing.status, 0) << listing.err;
  EXPECT_EQ(Lines(listing.out),
            (std::vector<std::string>{"Chronolist.exe", "Chronolist-README.txt"}));

  ScratchFolder folder;
  ASSERT_EQ(RunCommand({"unzip", "-q", kZip}).status, 0);
  const Result sections =
      RunCommand({"x86_64-w64-mingw32-objdump", "--section-headers", "--syms", "Chronolist.exe"});
  ASSERT_EQ(sections.status, 0) << sections.err;
  EXPECT_NE(sections.out.find("file format pei-x86-64"), std::string::npos) << sections.out;
  EXPECT_EQ(sections.out.find(".debug"), std::string::npos) << "debug sections left in";
  EXPECT_NE(sections.out.find("SYMBOL TABLE:\nno symbols"), std::string::npos) << "not stripped";
  // The very code of the program the build made.
  auto code = [](const std::string& exe, const std::string& out) {
    const Result copy = RunCommand(
        {"x86_64-w64-mingw32-objcopy", "--output-target=binary", "--only-section=.text", exe, out});
    return copy.status == 0 ? ReadBytes(out) : std::string();
  };
  const std::string built = code(CHRONOLIST_WINDOWS_PROGRAM, "built.text");
  ASSERT_FALSE(built.empty());
  EXPECT_EQ(code("Chronolist.exe", "zipped.text"), built);

  // For Notepad on any Windows: UTF-8 with a byte-order mark, CRLF lines.
  const std::string readme = ReadBytes("Chronolist-README.txt");
  EXPECT_EQ(readme.rfind("\xEF\xBB\xBF", 0), 0u);
  for (std::size_t at = readme.find('\n'); at != std::string::npos;
       at = readme.find('\n', at + 1)) {
    ASSERT_EQ(readme[at - 1], '\r') << "a bare LF at byte " << at;
  }
  for (const char* words :
       {"ゲームのフォルダ", "replistEX.html", "game folder", "Chronolist.exe"}) {
    EXPECT_NE(readme.find(words), std::string::npos) << words;
  }
}

}  // namespace
}  // namespace chronolist
