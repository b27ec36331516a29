#include "timelist/time_list_writer.h"

#include <cstdio>

namespace chronolist::TimeListWriter {

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

}  // namespace chronolist::TimeListWriter
