// UTF-8 to UTF-16 and back, for the places where text crosses into Win32
// (paths, system texts, dialog templates, window and menu texts). Portable:
// the Windows sources use it too, through win32_text.h.
#pragma once

#include <string>
#include <string_view>

namespace chronolist {

// Malformed UTF-8 becomes U+FFFD, never a lost character: one for each
// stray byte and one for a sequence cut short (the byte that cut it starts
// afresh), so "a\xE3\x81b" reads as "a\uFFFDb".
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace chronolist
