// The program's resources as properties a layout or text change must keep:
// every control inside its dialog and clear of the others, ids unique, no
// empty text, and the binary template the Windows build hands the dialog
// manager holding exactly what the template says.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

#include "framework/dialog_template_binary.h"
#include "res/chronolist_resources.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/dialog_template_reader.h"

namespace fw {

// Failures name a dialog by its id, not by its bytes.
void PrintTo(const DialogTemplate& dialog, std::ostream* out) {
  *out << "dialog " << dialog.id;
}

namespace {

const ResourceTable& Program() {
  return chronolist::Resources();
}

bool Overlap(const DialogItemTemplate& a, const DialogItemTemplate& b) {
  return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

// Each property holds for every dialog the program has, checked one by one.
class ProgramDialog : public ::testing::TestWithParam<DialogTemplate> {};

INSTANTIATE_TEST_SUITE_P(Each, ProgramDialog,
                         ::testing::ValuesIn(Program().dialogs.begin(), Program().dialogs.end()),
                         [](const ::testing::TestParamInfo<DialogTemplate>& info) {
                           return "Dialog" + std::to_string(info.param.id);
                         });

TEST_P(ProgramDialog, EveryControlLiesInsideItAndClearOfTheOthers) {
  const DialogTemplate& dialog = GetParam();
  for (const DialogItemTemplate& item : dialog.items) {
    SCOPED_TRACE(item.text);
    EXPECT_GT(item.cx, 0);
    EXPECT_GT(item.cy, 0);
    EXPECT_GE(item.x, 0);
    EXPECT_GE(item.y, 0);
    EXPECT_LE(item.x + item.cx, dialog.cx);
    EXPECT_LE(item.y + item.cy, dialog.cy);
    EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    for (const DialogItemTemplate& other : dialog.items) {
      EXPECT_TRUE(&other == &item || !Overlap(item, other)) << "overlaps " << other.text;
    }
  }
}

// A modal frame with a caption and a system menu, in the one dialog font;
// ids the code addresses name one control; every text a user reads says
// something, every icon is one the program has, and Return has one button.
TEST_P(ProgramDialog, ControlIdsAreUniqueAndNoTextIsEmpty) {
  const DialogTemplate& dialog = GetParam();
  EXPECT_FALSE(dialog.caption.empty());
  constexpr DWORD kFrame = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  EXPECT_EQ(dialog.style & kFrame, kFrame);
  EXPECT_FALSE(dialog.font.face.empty());
  EXPECT_EQ(dialog.font.face, Program().dialogs[0].font.face);
  std::set<UINT> icons;
  for (const IconResource& icon : Program().icons) {
    icons.insert(icon.id);
  }
  std::set<int> controls;
  int defaultButtons = 0;
  for (const DialogItemTemplate& item : dialog.items) {
    EXPECT_TRUE(item.id == kStaticId || controls.insert(item.id).second) << item.id;
    EXPECT_EQ(item.IsIcon(), item.text.empty()) << item.id;
    EXPECT_EQ(item.IsIcon(), icons.count(item.iconId) == 1) << item.id;
    EXPECT_TRUE(item.IsIcon() || item.IsText() || item.IsPushButton()) << item.id;
    // The push buttons are what Tab reaches.
    EXPECT_EQ(item.IsPushButton(), item.IsTabStop()) << item.id;
    defaultButtons += item.IsDefaultButton() ? 1 : 0;
  }
  EXPECT_EQ(defaultButtons, 1);
}

// What the Windows build's dialog manager reads is the template itself, in
// every field.
TEST_P(ProgramDialog, TheBinaryTemplateHoldsExactlyTheTemplate) {
  const DialogTemplate read =
      chronolist::test::ReadDialogTemplate(BuildDialogTemplateBinary(GetParam()));
  EXPECT_EQ(chronolist::test::Describe(read), chronolist::test::Describe(GetParam()));
}

TEST(ProgramResources, IdsAreUniqueAndNoStringIsEmpty) {
  std::set<UINT> ids;
  for (const StringResource& string : Program().strings) {
    EXPECT_TRUE(ids.insert(string.id).second) << string.id;
    EXPECT_NE(std::string(string.text), "") << string.id;
  }
  for (const DialogTemplate& dialog : Program().dialogs) {
    EXPECT_TRUE(ids.insert(dialog.id).second) << dialog.id;
  }
  EXPECT_TRUE(ids.count(IDD_MAIN_DIALOG) == 1 && ids.count(IDD_ABOUT_BOX) == 1);
}

// The About box gives the version project(VERSION) sets, as major.minor.
TEST(ProgramResources, TheAboutBoxShowsTheProjectsVersion) {
  int versions = 0;
  for (const DialogTemplate& dialog : Program().dialogs) {
    for (const DialogItemTemplate& item : dialog.items) {
      versions +=
          dialog.id == IDD_ABOUT_BOX && item.text == "Chronolist Version " CHRONOLIST_VERSION_SHORT;
    }
  }
  EXPECT_EQ(versions, 1);
}

}  // namespace
}  // namespace fw
