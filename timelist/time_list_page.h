// The program's one job: scan the replays and write the Extra-mode time list,
// "replistEX.html", in the game folder; and the formatting the page is built
// with, which is its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "timelist/error_text.h"
#include "timelist/run_time_table.h"

namespace chronolist {

inline constexpr const char* kTimeListFileName = "replistEX.html";

// What became of a page write. On failure the previous page, if there was one,
// is untouched and `error` holds the system's reason.
struct PageWriteResult {
  std::error_code error;
  // The page's path in UTF-8: in the game folder as it was given, which the
  // application has made absolute, so that the user can look for it.
  std::string path;
  // Set when the replays could not be read, and so no page was written: the
  // path of what could not be read, in the game folder as given.
  std::string unreadPath;
  // A page was there before the write, and a failed write left it as it was.
  bool previousPageKept = false;
  // Another program held the page open (Windows only), so it was kept.
  bool heldOpen = false;

  bool written() const { return !error; }
  std::string reason() const { return ErrorText(error); }
};

// The whole page for `table`: one line of ASCII, no line break anywhere, rows
// for rooms 111 to 151 with each time as mm:ss:ff or "None".
std::string BuildTimeListPage(const RunTimeTable& table);

// The fragments the page is built from, as printf's "%s", "%03d" and "%02d"
// would write them. Stateless: every call appends to the page it is given.
namespace TimeListWriter {

void AppendText(std::string& page, std::string_view text);

// Zero-padded to at least three digits: 7 -> "007", 1000 -> "1000".
void AppendRoomNumber(std::string& page, int room);

// Zero-padded to at least two digits: 5 -> "05", 111 -> "111".
void AppendTwoDigits(std::string& page, int value);

}  // namespace TimeListWriter

// A frame count split into minutes, seconds and frames at `rate` frames a
// second (positive), with C's truncating division: seconds are 0-59 and
// frames 0 to rate-1 for any count that is not negative. The products are
// taken in 64 bits so that no count and rate overflow.
namespace SplitFrames {

constexpr std::int32_t Minutes(std::int32_t frames, std::int32_t rate) {
  return static_cast<std::int32_t>(frames / (std::int64_t{60} * rate));
}

constexpr std::int32_t Seconds(std::int32_t frames, std::int32_t rate) {
  const std::int64_t rest = frames - std::int64_t{60} * rate * Minutes(frames, rate);
  return static_cast<std::int32_t>(rest / rate);
}

constexpr std::int32_t Frames(std::int32_t frames, std::int32_t rate) {
  const std::int64_t rest = frames - std::int64_t{60} * rate * Minutes(frames, rate);
  return static_cast<std::int32_t>(rest % rate);
}

}  // namespace SplitFrames

// Replaces "replistEX.html" in `folder` (empty: the working folder) with the
// page for `table`, all or nothing.
PageWriteResult WriteTimeListPage(const RunTimeTable& table, const std::string& folder = {});

// Scans the replays of rooms 1 to 199 in the game folder `folder` (empty: the
// working folder), then writes the page there. A scan that fails writes
// nothing.
PageWriteResult GenerateTimeList(const std::string& folder = {});

}  // namespace chronolist
