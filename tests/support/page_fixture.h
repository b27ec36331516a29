// The expected page, spelled out from the page's fixed fragments so that the
// tests never derive it from the code under test.
#pragma once

#include <map>
#include <string>

namespace chronolist::test {

inline const std::string kExpectedHead =
    "<HTML><TITLE>TEMRA -ExtraRoom TimeList-</TITLE>"
    "<body bgcolor=\"#000000\" text=\"#CCCCCC\">"
    "<center><H2>TEMRA -ExtraRoom TimeList-</H2>"
    "<table width=\"50%\" border=\"1\">"
    "<TR><TD><CENTER>Room Number</CENTER></TD><TD><CENTER>Time</CENTER></TD></TR>";

inline const std::string kExpectedTail = "</TABLE></center></BODY></HTML>";

inline std::string ExpectedRow(const std::string& room, const std::string& time) {
  return "<TR><td width=\"50%\"><CENTER>" + room + "</CENTER></TD><td width=\"50%\"><CENTER>" +
         time + "</CENTER></TD></TR>";
}

// Rooms 111 to 151; a room missing from `times` reads "None".
inline std::string ExpectedPage(const std::map<int, std::string>& times) {
  std::string page = kExpectedHead;
  for (int room = 111; room <= 151; ++room) {
    const auto found = times.find(room);
    page += ExpectedRow(std::to_string(room), found == times.end() ? "None" : found->second);
  }
  return page + kExpectedTail;
}

// What LaySampleReplays makes, and a page from before to be replaced.
inline const std::string& SamplePage() {
  static const std::string page =
      ExpectedPage({{111, "01:02:15"}, {125, "05:00:00"}, {151, "00:00:00"}});
  return page;
}
inline const std::string kOldPage = "<HTML>the previous list, which must survive</HTML>\n";

}  // namespace chronolist::test
