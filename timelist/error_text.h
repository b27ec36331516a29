// The system's own words for an error, as the reason a message to the user
// quotes: in the user's language, UTF-8, with no line break at the end.
// One source per platform implements it (error_text_posix.cpp, ...).
#pragma once

#include <string>
#include <system_error>

namespace chronolist {

std::string ErrorText(const std::error_code& error);

}  // namespace chronolist
