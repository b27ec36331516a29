// UTF-8 to UTF-16, for the places where text crosses into Win32 (dialog
// templates, window and menu texts).
#pragma once

#include <string>
#include <string_view>

namespace fw {

// Malformed UTF-8 becomes U+FFFD, one per bad byte, never a lost character.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace fw
