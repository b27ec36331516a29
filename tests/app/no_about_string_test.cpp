// A build whose string table lacks the About entry's text: the system menu
// must stay exactly as the system made it, without even the separator.
#include <gtest/gtest.h>

#include "app/resource.h"
#include "app/time_list_app.h"
#include "framework/resources.h"
#include "support/fake_platform.h"

namespace {

using namespace fw;
using chronolist::testing::FakePlatform;

TEST(MissingAboutString, LeavesTheSystemMenuUntouched) {
  FakePlatform platform;
  CTimeListApp app;
  EXPECT_EQ(AfxWinMain("chronolist"), 1);
  ASSERT_EQ(platform.runs.size(), 1u);
  const auto& menu = platform.runs[0].systemMenu;
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].id, SC_MOVE);
  EXPECT_EQ(menu[1].id, SC_CLOSE);
  // The icons are set all the same.
  EXPECT_NE(platform.runs[0].bigIcon, nullptr);
}

const DialogFont kFont{9, FW_DONTCARE, false, DEFAULT_CHARSET, "Sans"};

const DialogTemplate kDialogs[] = {
    {.id = IDD_MAIN_DIALOG,
     .style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
     .cx = 143,
     .cy = 63,
     .caption = "ChronolistEx",
     .font = kFont,
     .items = {}},
};

const StringResource kStrings[] = {
    {IDS_PAGE_NOT_WRITTEN, "%1"},
};

}  // namespace

const ResourceTable& fw::ApplicationResources() {
  static const ResourceTable table{kDialogs, kStrings, {}};
  return table;
}
