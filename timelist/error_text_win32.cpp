#include <windows.h>

#include <cstdio>
#include <string>

#include "timelist/error_text.h"
#include "timelist/win32_text.h"

namespace chronolist {

namespace {

// LocalFree for the buffer FormatMessageW allocates.
class LocalBuffer {
 public:
  LocalBuffer() = default;
  LocalBuffer(const LocalBuffer&) = delete;
  LocalBuffer& operator=(const LocalBuffer&) = delete;
  ~LocalBuffer() { ::LocalFree(text_); }
  wchar_t** out() { return &text_; }
  const wchar_t* get() const { return text_; }

 private:
  wchar_t* text_ = nullptr;
};

bool IsTrailingBlank(wchar_t c) {
  return c == L'\r' || c == L'\n' || c == L' ' || c == L'\t' || c == L'\u3000';
}

}  // namespace

// Never error_code::message() here: MinGW's is FormatMessageA, text in the
// ANSI code page (932 on a Japanese system) that nothing downstream can
// decode. The wide text is the same words without that loss.
std::string ErrorText(const std::error_code& error) {
  if (error.category() != std::system_category()) {
    return error.message();
  }
  const auto code = static_cast<DWORD>(error.value());
  LocalBuffer buffer;
  // Language 0: the thread's, then the user's, then the system's language.
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.out()), 0, nullptr);
  int end = static_cast<int>(length);
  while (end > 0 && IsTrailingBlank(buffer.get()[end - 1])) {
    --end;
  }
  if (end == 0) {
    char number[40];
    std::snprintf(number, sizeof number, "Windows error %lu (0x%08lX)", code, code);
    return number;
  }
  return Utf8(std::wstring_view(buffer.get(), static_cast<std::size_t>(end)));
}

}  // namespace chronolist
