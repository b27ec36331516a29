// The reason a message quotes: the system's words, on one line, never empty.
#include <gtest/gtest.h>

#include <cerrno>
#include <iterator>
#include <set>
#include <string>
#include <system_error>

#include "timelist/error_text.h"

namespace chronolist {
namespace {

bool EndsInABlank(const std::string& text) {
  return !text.empty() && std::string(" \t\r\n").find(text.back()) != std::string::npos;
}

// FormatMessageW's texts end in CR LF, which once showed as a blank line;
// each failure keeps words of its own.
TEST(ErrorText, IsTheSystemsTextOnOneLine) {
#ifdef _WIN32
  const int codes[] = {2, 3, 5, 32, 112};  // not found, no path, denied, in use, disk full
#else
  const int codes[] = {ENOENT, EACCES, ENOSPC, EISDIR};
#endif
  std::set<std::string> texts;
  for (int code : codes) {
    const std::string text = ErrorText({code, std::system_category()});
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_FALSE(EndsInABlank(text)) << code << ": \"" << text << "\"";
    EXPECT_EQ(text.find('\n'), std::string::npos) << code << ": \"" << text << "\"";
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(codes));
}

#ifdef _WIN32

TEST(ErrorText, NamesACodeTheSystemHasNoTextFor) {
  EXPECT_EQ(ErrorText({0x2FFFFFFF, std::system_category()}),
            "Windows error 805306367 (0x2FFFFFFF)");
}

#endif

}  // namespace
}  // namespace chronolist
