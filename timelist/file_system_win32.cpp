#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "timelist/file_system.h"

namespace chronolist {

namespace {

std::error_code LastError() {
  return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Paths here are ASCII or the page's name; the ANSI code page is not to be
// trusted with anything else, so convert from UTF-8 ourselves.
std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
  return wide;
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) {
      ::CloseHandle(handle_);
    }
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  bool Close() {
    const bool closed = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::optional<std::uint64_t> RegularFileLength(const std::string& path) {
  // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS, and the
  // sharing flags let the game keep writing its replays meanwhile.
  Handle file(::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) {
    return std::nullopt;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::error_code ReplaceFileAtomically(const std::string& path, std::string_view contents) {
  std::wstring tempPath;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".tmp-%lu-%d", ::GetCurrentProcessId(), attempt);
    tempPath = Wide(path + suffix);
    created = ::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
      break;
    }
  }
  Handle temp(created);
  if (!temp.valid()) {
    return LastError();
  }

  std::error_code error;
  while (!error && !contents.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(temp.get(), contents.data(), chunk, &written, nullptr)) {
      error = LastError();
    }
    contents.remove_prefix(written);
  }
  if (!error && !::FlushFileBuffers(temp.get())) {
    error = LastError();
  }
  if (!temp.Close() && !error) {
    error = LastError();
  }
  // Replaces the old page in one step, or fails and leaves it alone.
  if (!error && !::MoveFileExW(tempPath.c_str(), Wide(path).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = LastError();
  }
  if (error) {
    ::DeleteFileW(tempPath.c_str());
  }
  return error;
}

}  // namespace chronolist
