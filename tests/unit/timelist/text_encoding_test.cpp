// UTF-8 to UTF-16 and back, as the Windows build hands texts to the system
// and reads its answers: malformed input never loses what follows it.
#include <gtest/gtest.h>

#include "timelist/text_encoding.h"

namespace chronolist {
namespace {

TEST(TextEncoding, Utf8ToUtf16) {
  EXPECT_EQ(Utf8ToUtf16("OK"), u"OK");
  EXPECT_EQ(Utf8ToUtf16("ｷｬﾝｾﾙ"), u"\uFF77\uFF6C\uFF9D\uFF7E\uFF99");
  EXPECT_EQ(Utf8ToUtf16("～"), u"\uFF5E");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");  // a surrogate pair
  // Malformed input: one replacement per stray byte and per sequence cut
  // short, and nothing after it lost.
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b"),
            u"a\uFFFD"
            "b");
  EXPECT_EQ(Utf8ToUtf16("a\xE3\x81"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("a\xE3\x81"
                        "b\xE3"),
            u"a\uFFFD"
            "b\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xE3\x81\xE3\x81\x82"), u"\uFFFD\u3042");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");      // overlong '/'
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");  // an encoded surrogate
}

TEST(TextEncoding, RoundTrip) {
  for (const char* text :
       {"", "Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)...", "ＭＳ Ｐゴシック", "\xF0\x9F\x98\x80x"}) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  }
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // a lone surrogate
}

}  // namespace
}  // namespace chronolist
