// The program's resources, field by field: what the windows are built from
// on every platform.
#include <gtest/gtest.h>

#include <array>

#include "framework/resources.h"
#include "res/resource.h"

namespace fw {
namespace {

TEST(MainDialogTemplate, Frame) {
  const DialogTemplate* dialog = FindDialogTemplate(IDD_MAIN_DIALOG);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->id, 102u);
  EXPECT_TRUE(dialog->extended);
  EXPECT_EQ(dialog->style,
            DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(dialog->exStyle, WS_EX_APPWINDOW);
  EXPECT_EQ(dialog->x, 0);
  EXPECT_EQ(dialog->y, 0);
  EXPECT_EQ(dialog->cx, 143);
  EXPECT_EQ(dialog->cy, 63);
  EXPECT_EQ(dialog->caption, "ChronolistEx");
  EXPECT_EQ(dialog->font.pointSize, 9);
  EXPECT_EQ(dialog->font.weight, 0);
  EXPECT_FALSE(dialog->font.italic);
  EXPECT_EQ(dialog->font.charset, DEFAULT_CHARSET);
  // Full-width ＭＳ, an ASCII blank, full-width Ｐ, then ゴシック.
  EXPECT_EQ(
      dialog->font.face,
      "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
}

TEST(MainDialogTemplate, ControlsInTabOrder) {
  const DialogTemplate* dialog = FindDialogTemplate(IDD_MAIN_DIALOG);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(dialog->items.size(), 5u);
  struct Expected {
    int id;
    ControlClass windowClass;
    const char* text;
    short x, y, cx, cy;
    DWORD style;
  };
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  const Expected expected[] = {
      {IDOK, ControlClass::Button, "OK", 104, 42, 32, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
      {IDCANCEL, ControlClass::Button,
       "\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D\xEF\xBD\xBE\xEF\xBE\x99", 72, 42, 29, 14,
       kChild | WS_TABSTOP},
      {-1, ControlClass::Static,
       "\xE3\x83\xAA\xE3\x83\x97\xE3\x83\xAC\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\xE3\x83\xBB"
       "\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\xA0\xE3\x83\xAA\xE3\x82\xB9\xE3\x83\x88\xE3\x82\x92"
       "HTML\xE5\xBD\xA2\xE5\xBC\x8F\xE3\x81\xA7\xE3\x80\x81",
       7, 18, 122, 8, kChild | SS_LEFT | WS_GROUP},
      {-1, ControlClass::Static,
       "\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82(replistEx.html)",
       7, 29, 82, 8, kChild | SS_LEFT | WS_GROUP},
      {-1, ControlClass::Static,
       "\xE3\x82\xA8\xE3\x82\xAF\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xA9\xE3\x83\xA2\xE3\x83\xBC"
       "\xE3\x83\x89\xEF\xBC\x88\xE3\x83\xAB\xE3\x83\xBC\xE3\x83\xA0\xEF\xBC\x91\xEF\xBC\x91"
       "\xEF\xBC\x91\xEF\xBD\x9E\xEF\xBC\x91\xEF\xBC\x95\xEF\xBC\x91\xE8\xBF\x84\xEF\xBC\x89"
       "\xE3\x81\xAE",
       7, 7, 123, 8, kChild | SS_LEFT | WS_GROUP},
  };
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const DialogItemTemplate& item = dialog->items[i];
    EXPECT_EQ(item.id, expected[i].id);
    EXPECT_EQ(item.windowClass, expected[i].windowClass);
    EXPECT_EQ(item.text, expected[i].text);
    EXPECT_EQ(item.x, expected[i].x);
    EXPECT_EQ(item.y, expected[i].y);
    EXPECT_EQ(item.cx, expected[i].cx);
    EXPECT_EQ(item.cy, expected[i].cy);
    EXPECT_EQ(item.style, expected[i].style);
    EXPECT_EQ(item.exStyle, 0u);
  }
  EXPECT_TRUE(dialog->items[0].IsDefaultButton());
  EXPECT_TRUE(dialog->items[1].IsPushButton());
  EXPECT_FALSE(dialog->items[1].IsDefaultButton());
  EXPECT_TRUE(dialog->items[4].IsText());
}

TEST(AboutBoxTemplate, FrameAndControls) {
  const DialogTemplate* about = FindDialogTemplate(IDD_ABOUT_BOX);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->id, 100u);
  EXPECT_FALSE(about->extended);
  EXPECT_EQ(about->style, DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(about->exStyle, 0u);
  EXPECT_EQ(about->x, 0);
  EXPECT_EQ(about->y, 0);
  EXPECT_EQ(about->cx, 235);
  EXPECT_EQ(about->cy, 55);
  // "ChronolistExのﾊﾞｰｼﾞｮﾝ情報"
  EXPECT_EQ(about->caption,
            "ChronolistEx\xE3\x81\xAE\xEF\xBE\x8A\xEF\xBE\x9E\xEF\xBD\xB0\xEF\xBD\xBC"
            "\xEF\xBE\x9E\xEF\xBD\xAE\xEF\xBE\x9D\xE6\x83\x85\xE5\xA0\xB1");
  EXPECT_EQ(about->font.face, FindDialogTemplate(IDD_MAIN_DIALOG)->font.face);
  EXPECT_EQ(about->font.pointSize, 9);

  ASSERT_EQ(about->items.size(), 4u);
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  const DialogItemTemplate& icon = about->items[0];
  EXPECT_TRUE(icon.IsIcon());
  EXPECT_EQ(icon.id, -1);
  EXPECT_EQ(icon.iconId, IDI_APP_ICON);
  EXPECT_EQ(icon.style, kChild | SS_ICON);
  EXPECT_EQ((std::array<int, 4>{icon.x, icon.y, icon.cx, icon.cy}),
            (std::array<int, 4>{11, 17, 20, 20}));

  const DialogItemTemplate& version = about->items[1];
  EXPECT_EQ(version.text, "Chronolist Version 1.0");
  EXPECT_EQ(version.style, kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP);
  EXPECT_EQ((std::array<int, 4>{version.x, version.y, version.cx, version.cy}),
            (std::array<int, 4>{40, 10, 119, 8}));

  const DialogItemTemplate& second = about->items[2];
  EXPECT_TRUE(second.IsText());
  EXPECT_FALSE(second.text.empty());
  EXPECT_EQ(second.style, kChild | SS_LEFT | WS_GROUP);
  EXPECT_EQ((std::array<int, 4>{second.x, second.y, second.cx, second.cy}),
            (std::array<int, 4>{40, 25, 119, 8}));

  const DialogItemTemplate& ok = about->items[3];
  EXPECT_EQ(ok.id, IDOK);
  EXPECT_EQ(ok.text, "OK");
  EXPECT_TRUE(ok.IsDefaultButton());
  EXPECT_EQ(ok.style, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP);
  EXPECT_EQ((std::array<int, 4>{ok.x, ok.y, ok.cx, ok.cy}), (std::array<int, 4>{178, 7, 50, 14}));
}

TEST(StringTable, AboutMenuEntry) {
  // "Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)...": one blank before の, &A its access key.
  EXPECT_EQ(FindStringResource(IDS_ABOUT_MENU),
            "Chronolist \xE3\x81\xAE\xEF\xBE\x8A\xEF\xBE\x9E\xEF\xBD\xB0\xEF\xBD\xBC"
            "\xEF\xBE\x9E\xEF\xBD\xAE\xEF\xBE\x9D\xE6\x83\x85\xE5\xA0\xB1(&A)...");
}

// %1 is the page's full path and %2 the reason; only the message for a page
// that was there says that it still is.
TEST(StringTable, PageErrorsTakeThePathAndTheReason) {
  const std::string opening = "%1 を書き出せませんでした。\n理由: %2\n\n";
  const std::string kept = "前のリストはそのまま残っています。";
  const std::string written = FindStringResource(IDS_PAGE_NOT_WRITTEN);
  const std::string created = FindStringResource(IDS_PAGE_NOT_CREATED);
  EXPECT_EQ(written.rfind(opening, 0), 0u) << written;
  EXPECT_EQ(created.rfind(opening, 0), 0u) << created;
  EXPECT_NE(written.find(kept), std::string::npos) << written;
  EXPECT_EQ(created.find(kept), std::string::npos) << created;
  EXPECT_EQ(written, opening + kept + created.substr(opening.size()));
}

}  // namespace
}  // namespace fw
