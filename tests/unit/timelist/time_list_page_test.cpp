// The page's exact bytes for tables built by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "support/page_fixture.h"
#include "timelist/time_list_page.h"

namespace chronolist {
namespace {

using test::ExpectedPage;

RunTimeTable EmptyTable() {
  RunTimeTable table;
  table.fill(kNoRun);
  return table;
}

TEST(TimeListPage, EmptyTableListsAll41RoomsAsNone) {
  const std::string page = BuildTimeListPage(EmptyTable());
  EXPECT_EQ(page, ExpectedPage({}));

  // Spot-check the literal bytes of the first row and the very end as well.
  EXPECT_NE(page.find("</TD></TR><TR><td width=\"50%\"><CENTER>111</CENTER></TD>"
                      "<td width=\"50%\"><CENTER>None</CENTER></TD></TR>"),
            std::string::npos);
  EXPECT_TRUE(
      page.ends_with("<CENTER>151</CENTER></TD><td width=\"50%\"><CENTER>None</CENTER>"
                     "</TD></TR></TABLE></center></BODY></HTML>"));
}

TEST(TimeListPage, IsOneLineOfAscii) {
  RunTimeTable table = EmptyTable();
  table[130] = 54321;
  const std::string page = BuildTimeListPage(table);
  EXPECT_EQ(page.find('\n'), std::string::npos);
  EXPECT_EQ(page.find('\r'), std::string::npos);
  EXPECT_TRUE(std::all_of(page.begin(), page.end(), [](char c) { return c >= 0x20 && c < 0x7f; }));
  EXPECT_EQ(page.find("<HTML>"), 0u);
}

TEST(TimeListPage, TimesAndNoneInTheirRows) {
  RunTimeTable table = EmptyTable();
  table[111] = 1 * 60 * 30 + 2 * 30 + 15;
  table[112] = 0;
  table[113] = 5 * 60 * 30;
  table[114] = 100 * 60 * 30;
  table[115] = 111 * 60 * 30 + 6 * 30 + 20;
  table[116] = kNoRun;
  table[117] = kNoRun - 1;
  table[150] = INT32_MAX;
  table[151] = 29;

  EXPECT_EQ(BuildTimeListPage(table), ExpectedPage({{111, "01:02:15"},
                                                    {112, "00:00:00"},
                                                    {113, "05:00:00"},
                                                    {114, "100:00:00"},
                                                    {115, "111:06:20"},
                                                    {117, "5555:33:08"},
                                                    {150, "1193046:28:07"},
                                                    {151, "00:00:29"}}));
}

TEST(TimeListPage, RoomsOutsideTheExtraRangeNeverShow) {
  RunTimeTable table = EmptyTable();
  for (int room : {0, 1, 110, 152, 199}) {
    table[room] = 12345;
  }
  EXPECT_EQ(BuildTimeListPage(table), ExpectedPage({}));
}

}  // namespace
}  // namespace chronolist
