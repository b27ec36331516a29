// The arithmetic and formatting behind one row: frame counts split at 30 per
// second, and the printf-style padding of room numbers and time fields.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "timelist/run_time_table.h"
#include "timelist/time_list_page.h"

namespace chronolist {
namespace {

std::string TimeCell(std::int32_t frames) {
  std::string cell;
  TimeListWriter::AppendTwoDigits(cell, SplitFrames::Minutes(frames, kFramesPerSecond));
  TimeListWriter::AppendText(cell, ":");
  TimeListWriter::AppendTwoDigits(cell, SplitFrames::Seconds(frames, kFramesPerSecond));
  TimeListWriter::AppendText(cell, ":");
  TimeListWriter::AppendTwoDigits(cell, SplitFrames::Frames(frames, kFramesPerSecond));
  return cell;
}

TEST(TimeCell, KnownRunTimes) {
  EXPECT_EQ(TimeCell(1 * 60 * 30 + 2 * 30 + 15), "01:02:15");
  EXPECT_EQ(TimeCell(0), "00:00:00");
  EXPECT_EQ(TimeCell(5 * 60 * 30), "05:00:00");
  EXPECT_EQ(TimeCell(100 * 60 * 30), "100:00:00");
  EXPECT_EQ(TimeCell(111 * 60 * 30 + 6 * 30 + 20), "111:06:20");
}

TEST(TimeCell, FieldBoundaries) {
  EXPECT_EQ(TimeCell(29), "00:00:29");
  EXPECT_EQ(TimeCell(30), "00:01:00");
  EXPECT_EQ(TimeCell(60 * 30 - 1), "00:59:29");
  EXPECT_EQ(TimeCell(60 * 30), "01:00:00");
  // The largest count a saturated slot holds still splits without overflow.
  EXPECT_EQ(TimeCell(INT32_MAX), "1193046:28:07");
}

TEST(SplitFrames, SecondsAndFramesStayInRangeForEveryCountOfAnHour) {
  for (std::int32_t f = 0; f <= 60 * 60 * 30; ++f) {
    const auto minutes = SplitFrames::Minutes(f, 30);
    const auto seconds = SplitFrames::Seconds(f, 30);
    const auto frames = SplitFrames::Frames(f, 30);
    ASSERT_GE(seconds, 0);
    ASSERT_LE(seconds, 59);
    ASSERT_GE(frames, 0);
    ASSERT_LE(frames, 29);
    ASSERT_EQ(minutes * 1800 + seconds * 30 + frames, f) << "count " << f;
  }
}

TEST(SplitFrames, OtherRatesAndTruncationTowardZero) {
  EXPECT_EQ(SplitFrames::Minutes(3661, 1), 61);
  EXPECT_EQ(SplitFrames::Seconds(3661, 1), 1);
  EXPECT_EQ(SplitFrames::Frames(3661, 1), 0);
  EXPECT_EQ(SplitFrames::Seconds(125, 60), 2);
  EXPECT_EQ(SplitFrames::Frames(125, 60), 5);
  // C division: a negative count splits into negative parts, never floors.
  EXPECT_EQ(SplitFrames::Minutes(-1801, 30), -1);
  EXPECT_EQ(SplitFrames::Seconds(-1801, 30), 0);
  EXPECT_EQ(SplitFrames::Frames(-1801, 30), -1);
}

TEST(TimeListWriter, PadsLikePrintf) {
  std::string page = "x";
  TimeListWriter::AppendRoomNumber(page, 7);
  TimeListWriter::AppendRoomNumber(page, 42);
  TimeListWriter::AppendRoomNumber(page, 151);
  TimeListWriter::AppendRoomNumber(page, 1000);
  EXPECT_EQ(page, "x0070421511000");

  page.clear();
  TimeListWriter::AppendTwoDigits(page, 0);
  TimeListWriter::AppendTwoDigits(page, 9);
  TimeListWriter::AppendTwoDigits(page, 59);
  TimeListWriter::AppendTwoDigits(page, 100);
  TimeListWriter::AppendTwoDigits(page, -5);
  EXPECT_EQ(page, "000959100-5");
}

}  // namespace
}  // namespace chronolist
