// The three ways a fragment of the time list page is appended: verbatim text,
// a three-digit room number and a two-digit time field (printf's "%s", "%03d"
// and "%02d"). Stateless: every call appends to the page it is given.
#pragma once

#include <string>
#include <string_view>

namespace chronolist::TimeListWriter {

void AppendText(std::string& page, std::string_view text);

// Zero-padded to at least three digits: 7 -> "007", 1000 -> "1000".
void AppendRoomNumber(std::string& page, int room);

// Zero-padded to at least two digits: 5 -> "05", 111 -> "111".
void AppendTwoDigits(std::string& page, int value);

}  // namespace chronolist::TimeListWriter
