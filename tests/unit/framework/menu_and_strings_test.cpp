// The window menu model, access keys, and strings from the string table.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "support/fake_platform.h"

namespace fw {
namespace {

using chronolist::test::FakePeer;

TEST(SystemMenu, ADialogStartsWithMoveAndClose) {
  const CMenu menu = CMenu::DialogSystemMenu();
  ASSERT_EQ(menu.Items().size(), 2u);
  EXPECT_EQ(menu.Items()[0].id, SC_MOVE);
  EXPECT_EQ(menu.Items()[0].text, "移動(&M)");
  EXPECT_EQ(menu.Items()[1].id, SC_CLOSE);
  EXPECT_EQ(menu.Items()[1].text, "閉じる(&C)");
  EXPECT_EQ(menu.Items()[1].accelerator, "Alt+F4");
}

TEST(SystemMenu, BelongsToWindowsWithASystemMenuOnly) {
  CDialog withMenu(1);
  FakePeer peer;
  withMenu.AttachPeer(&peer, true);
  CMenu* menu = withMenu.GetSystemMenu(FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(withMenu.GetSystemMenu(FALSE), menu) << "the same menu each time";
  menu->AppendMenu(MF_SEPARATOR);
  EXPECT_EQ(withMenu.GetSystemMenu(FALSE)->Items().size(), 3u);

  CDialog withoutMenu(2);
  FakePeer otherPeer;
  withoutMenu.AttachPeer(&otherPeer, false);
  EXPECT_EQ(withoutMenu.GetSystemMenu(FALSE), nullptr);
}

TEST(Menu, AppendsSeparatorsAndItems) {
  CMenu menu;
  EXPECT_TRUE(menu.AppendMenu(MF_SEPARATOR));
  EXPECT_TRUE(menu.AppendMenu(MF_STRING, 0x0010, "About(&A)..."));
  EXPECT_FALSE(menu.AppendMenu(MF_STRING, 0x0020, nullptr));
  ASSERT_EQ(menu.Items().size(), 2u);
  EXPECT_TRUE(menu.Items()[0].IsSeparator());
  EXPECT_FALSE(menu.Items()[1].IsSeparator());
  EXPECT_EQ(menu.Items()[1].id, 0x0010u);
  EXPECT_TRUE(menu.Items()[1].IsEnabled());
  menu.AppendMenu(MF_STRING | MF_GRAYED, 0x0030, "Off");
  EXPECT_FALSE(menu.Items()[2].IsEnabled());
}

TEST(Menu, AccessKeysAndDisplayedText) {
  EXPECT_EQ(MenuAccessKey("Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)..."), 'a');
  EXPECT_EQ(MenuAccessKey("移動(&M)"), 'm');
  EXPECT_EQ(MenuAccessKey("&&Not a key &x"), 'x');
  EXPECT_EQ(MenuAccessKey("none"), 0);
  EXPECT_EQ(MenuAccessKey("trailing&"), 0);
  EXPECT_EQ(MenuDisplayText("Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)..."), "Chronolist のﾊﾞｰｼﾞｮﾝ情報(A)...");
  EXPECT_EQ(MenuDisplayText("R&&D &Save"), "R&D Save");
  EXPECT_EQ(MenuDisplayText("trailing&"), "trailing&");
  EXPECT_EQ(MenuTextWithMarker("閉じる(&C)", '_'), "閉じる(_C)");
  EXPECT_EQ(MenuTextWithMarker("R&&D my_file &Save&", '_'), "R&D my__file _Save&");
}

// What a screen reader says: no access-key hint, no ellipsis; a parenthesis
// that is not the hint stays.
TEST(Menu, ItemNamesForScreenReaders) {
  EXPECT_EQ(MenuItemName("閉じる(&C)"), "閉じる");
  EXPECT_EQ(MenuItemName("Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)..."), "Chronolist のﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(MenuItemName("&Close"), "Close");
  EXPECT_EQ(MenuItemName("Size (L)"), "Size (L)");
  EXPECT_EQ(MenuItemName("&Size (L)"), "Size (L)");
  EXPECT_EQ(MenuItemName("R&&D (X)"), "R&D (X)");
}

TEST(Strings, LoadFromTheStringTable) {
  CString text;
  EXPECT_TRUE(text.LoadString(11));
  EXPECT_EQ(text, "plain");
  EXPECT_FALSE(text.LoadString(12)) << "an empty string loads as nothing";
  EXPECT_TRUE(text.IsEmpty());
  text = CString("stale");
  EXPECT_FALSE(text.LoadString(999));
  EXPECT_TRUE(text.IsEmpty());
}

TEST(Strings, FormatString1ReplacesEveryPlaceholderOnce) {
  CString text;
  AfxFormatString1(text, 10, "X");
  EXPECT_EQ(text, "before X after X");
  // The argument is inserted as is, even when it looks like a placeholder.
  AfxFormatString1(text, 10, "%1%");
  EXPECT_EQ(text, "before %1% after %1%");
  AfxFormatString1(text, 999, "X");
  EXPECT_EQ(text, "");
}

TEST(Strings, FormatString2FillsBothPlaceholdersInOnePass) {
  CString text;
  AfxFormatString2(text, 13, "/home/a %2", "No space");
  EXPECT_EQ(text, "No space in /home/a %2; %3 stays");
  AfxFormatString1(text, 13, "X");
  EXPECT_EQ(text, "%2 in X; %3 stays") << "a placeholder without an argument stays";
}

}  // namespace
}  // namespace fw
