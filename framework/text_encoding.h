// UTF-8 to UTF-16, for the places where text crosses into Win32 (dialog
// templates, window and menu texts).
#pragma once

#include <string>
#include <string_view>

namespace fw {

// Malformed UTF-8 becomes U+FFFD, never a lost character: one for each
// stray byte and one for a sequence cut short (the byte that cut it starts
// afresh), so "a\xE3\x81b" reads as "a\uFFFDb".
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace fw
