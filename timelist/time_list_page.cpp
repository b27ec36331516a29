#include "timelist/time_list_page.h"

#include <cstdio>
#include <utility>

#include "timelist/file_system.h"
#include "timelist/folder.h"
#include "timelist/replay_scan.h"

namespace chronolist {

namespace TimeListWriter {

namespace {

void AppendFormatted(std::string& page, const char* format, int value) {
  char digits[16];  // fits any int with its sign
  const int length = std::snprintf(digits, sizeof digits, format, value);
  page.append(digits, static_cast<std::size_t>(length));
}

}  // namespace

void AppendText(std::string& page, std::string_view text) {
  page.append(text);
}

void AppendRoomNumber(std::string& page, int room) {
  AppendFormatted(page, "%03d", room);
}

void AppendTwoDigits(std::string& page, int value) {
  AppendFormatted(page, "%02d", value);
}

}  // namespace TimeListWriter

namespace {

constexpr const char* kHead[] = {
    R"(<HTML><TITLE>TEMRA -ExtraRoom TimeList-</TITLE>)",
    R"(<body bgcolor="#000000" text="#CCCCCC">)",
    R"(<center><H2>TEMRA -ExtraRoom TimeList-</H2>)",
    R"(<table width="50%" border="1">)",
    R"(<TR><TD><CENTER>Room Number</CENTER></TD><TD><CENTER>Time</CENTER></TD></TR>)",
};

constexpr const char* kTail[] = {
    "</TABLE>",
    "</center>",
    "</BODY></HTML>",
};

constexpr const char* kCellStart = R"(<td width="50%"><CENTER>)";
constexpr const char* kCellEnd = "</CENTER></TD>";

void AppendTimeCell(std::string& page, std::int32_t frames) {
  using namespace TimeListWriter;
  if (frames == kNoRun) {
    AppendText(page, "None");
    return;
  }
  AppendTwoDigits(page, SplitFrames::Minutes(frames, kFramesPerSecond));
  AppendText(page, ":");
  AppendTwoDigits(page, SplitFrames::Seconds(frames, kFramesPerSecond));
  AppendText(page, ":");
  AppendTwoDigits(page, SplitFrames::Frames(frames, kFramesPerSecond));
}

}  // namespace

std::string BuildTimeListPage(const RunTimeTable& table) {
  using namespace TimeListWriter;
  std::string page;
  page.reserve(4096);
  for (const char* fragment : kHead) {
    AppendText(page, fragment);
  }
  for (int room = kFirstExtraRoom; room <= kLastExtraRoom; ++room) {
    AppendText(page, "<TR>");
    AppendText(page, kCellStart);
    AppendRoomNumber(page, room);
    AppendText(page, kCellEnd);
    AppendText(page, kCellStart);
    AppendTimeCell(page, table[room]);
    AppendText(page, kCellEnd);
    AppendText(page, "</TR>");
  }
  for (const char* fragment : kTail) {
    AppendText(page, fragment);
  }
  return page;
}

PageWriteResult WriteTimeListPage(const RunTimeTable& table, const std::string& folder) {
  const std::string page = InFolder(folder, kTimeListFileName);
  PageWriteResult result;
  result.path = page;
  const ReplaceResult replaced = ReplaceFileAtomically(page, BuildTimeListPage(table));
  result.error = replaced.error;
  result.previousPageKept = replaced.hadFile && !result.written();
  result.heldOpen = replaced.heldOpen && !result.written();
  return result;
}

PageWriteResult GenerateTimeList(const std::string& folder) {
  RunTimeTable table;
  if (ScanFailure failure = ScanReplays(table, folder)) {
    const std::string page = InFolder(folder, kTimeListFileName);
    return {.error = failure.error,
            .path = page,
            .unreadPath = std::move(failure.path),
            .previousPageKept = KindOfPath(page) == PathKind::kOther};
  }
  return WriteTimeListPage(table, folder);
}

}  // namespace chronolist
