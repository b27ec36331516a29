// The reason a message quotes: the system's words, on one line, never empty.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "timelist/error_text.h"

namespace chronolist {
namespace {

bool EndsInABlank(const std::string& text) {
  return !text.empty() && std::string(" \t\r\n").find(text.back()) != std::string::npos;
}

#ifdef _WIN32

// FormatMessageW's texts end in CR LF, which once showed as a blank line.
TEST(ErrorText, IsTheSystemsTextWithoutItsLineBreak) {
  for (int code : {2, 3, 5, 32, 112}) {  // not found, no path, denied, in use, disk full
    const std::string text = ErrorText({code, std::system_category()});
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_FALSE(EndsInABlank(text)) << code << ": \"" << text << "\"";
    EXPECT_EQ(text.find('\n'), std::string::npos) << code << ": \"" << text << "\"";
  }
}

TEST(ErrorText, NamesACodeTheSystemHasNoTextFor) {
  EXPECT_EQ(ErrorText({0x2FFFFFFF, std::system_category()}),
            "Windows error 805306367 (0x2FFFFFFF)");
}

#else

TEST(ErrorText, IsStrerrorsText) {
  for (int code : {ENOENT, EACCES, ENOSPC, EISDIR}) {
    const std::string text = ErrorText({code, std::system_category()});
    EXPECT_EQ(text, std::generic_category().message(code));
    EXPECT_FALSE(EndsInABlank(text)) << text;
  }
}

#endif

}  // namespace
}  // namespace chronolist
