#include <string>

#include "timelist/error_text.h"

namespace chronolist {

// strerror's text is already the system's, in the locale's encoding (UTF-8).
std::string ErrorText(const std::error_code& error) {
  return error.message();
}

}  // namespace chronolist
