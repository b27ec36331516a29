// The program's one job: scan the replays and write the Extra-mode time list,
// "replistEX.html", in the game folder.
#pragma once

#include <string>
#include <system_error>

#include "timelist/error_text.h"
#include "timelist/run_time_table.h"

namespace chronolist {

inline constexpr const char* kTimeListFileName = "replistEX.html";

// What became of a page write. On failure the previous page, if there was one,
// is untouched and `error` holds the system's reason.
struct PageWriteResult {
  std::error_code error;
  // The page's full path, in UTF-8, as the user would look for it.
  std::string path;
  // A page was there before the write, and a failed write left it as it was.
  bool previousPageKept = false;

  bool written() const { return !error; }
  std::string reason() const { return ErrorText(error); }
};

// The whole page for `table`: one line of ASCII, no line break anywhere, rows
// for rooms 111 to 151 with each time as mm:ss:ff or "None".
std::string BuildTimeListPage(const RunTimeTable& table);

// Replaces "replistEX.html" in `folder` (empty: the working folder) with the
// page for `table`, all or nothing.
PageWriteResult WriteTimeListPage(const RunTimeTable& table, const std::string& folder = {});

// Scans the replays of rooms 1 to 199 in the game folder `folder` (empty: the
// working folder), then writes the page there.
PageWriteResult GenerateTimeList(const std::string& folder = {});

}  // namespace chronolist
