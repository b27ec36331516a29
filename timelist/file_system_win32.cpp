#include <windows.h>
// After windows.h, which it needs.
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <vector>

#include "timelist/file_system.h"
#include "timelist/folder.h"
#include "timelist/win32_text.h"

namespace chronolist {

namespace {

std::error_code LastError() {
  return {static_cast<int>(::GetLastError()), std::system_category()};
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

// `file`'s path as the system resolves it, links and all, in the object
// manager's spelling; empty when it cannot say. (GetFinalPathNameByHandleW
// gives the same in DOS form, but Wine's answers only up to MAX_PATH, so a
// deep game folder's temporary files would never be recognised.)
std::wstring FinalPath(HANDLE file) {
  std::vector<std::byte> buffer(1024);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status = ::NtQueryObject(file, ObjectNameInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed);
    if (status >= 0) {
      const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
      return std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
    }
    // Too small a buffer gets the size needed; anything else is an answer.
    if (needed <= buffer.size()) {
      return {};
    }
    buffer.resize(needed);
  }
}

// Temporary pages of writers that died. A live writer holds its file open
// without FILE_SHARE_DELETE, so opening it for deletion fails and it stays.
// Only a file with exactly our name that is itself in the folder goes:
// Wine follows Unix symlinks even where a reparse point would not be, so a
// link is known by its final path, which is then its target's.
void RemoveAbandonedTemporaries(const std::wstring& folder, const std::wstring& name) {
  const Handle folderHandle(::CreateFileW(folder.empty() ? L"." : folder.c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
  std::wstring folderPath = folderHandle.valid() ? FinalPath(folderHandle.get()) : L"";
  if (folderPath.empty()) {
    return;
  }
  if (folderPath.back() != L'\\') {
    folderPath += L'\\';
  }
  WIN32_FIND_DATAW found{};
  const HANDLE search =
      ::FindFirstFileExW((folder + name + Wide(kTemporaryInfix) + L"*").c_str(), FindExInfoBasic,
                         &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !IsTemporaryName(Utf8(found.cFileName), Utf8(name))) {
      continue;
    }
    const Handle file(::CreateFileW((folder + found.cFileName).c_str(),
                                    DELETE | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        FinalPath(file.get()) != folderPath + found.cFileName) {
      continue;
    }
    FILE_DISPOSITION_INFO dispose{TRUE};
    ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// Another run that has just put its page in place, or a reader, may hold the
// page open for a moment, and Windows refuses to replace an open file. Worth
// a short wait only while that can be the reason: not for a folder or a
// read-only file, which stay refused.
bool MayBeHeldOpen(DWORD failure, const std::wstring& page,
                   std::chrono::steady_clock::time_point deadline) {
  if ((failure != ERROR_ACCESS_DENIED && failure != ERROR_SHARING_VIOLATION) ||
      std::chrono::steady_clock::now() >= deadline) {
    return false;
  }
  const DWORD attributes = ::GetFileAttributesW(page.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
    return false;
  }
  ::Sleep(10);
  return true;
}

// After the retries: whether `page` is open in another program that would
// not share it (a viewer that locks it), rather than refused for a read-only
// attribute or a folder's permissions. Opening it without sharing fails with
// a sharing violation exactly while someone else has it open.
bool HeldOpenElsewhere(const std::error_code& failure, const std::wstring& page) {
  if (failure.value() != ERROR_ACCESS_DENIED && failure.value() != ERROR_SHARING_VIOLATION) {
    return false;
  }
  const Handle probe(::CreateFileW(page.c_str(), FILE_READ_DATA, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe.valid() && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// Renames the open temporary file over `page` through its own handle, so it
// is never closed, and so never free for other runs to remove, before it is
// in place. Where the handle cannot be renamed, closes it and moves by name.
std::error_code RenameOpenFile(Handle& temp, const std::wstring& tempPath,
                               const std::wstring& page) {
  const std::wstring target = FullPathOf(page);
  if (target.empty()) {
    return LastError();
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);

  const std::size_t nameBytes = target.size() * sizeof(wchar_t);
  std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(rename->FileName, target.data(), nameBytes);
  DWORD failure = ERROR_SUCCESS;
  do {
    if (::SetFileInformationByHandle(temp.get(), FileRenameInfo, rename,
                                     static_cast<DWORD>(buffer.size()))) {
      return {};
    }
    failure = ::GetLastError();
  } while (MayBeHeldOpen(failure, page, deadline));
  // Some Wine versions fail here without setting an error.
  if (failure != ERROR_SUCCESS && failure != ERROR_INVALID_PARAMETER &&
      failure != ERROR_NOT_SUPPORTED && failure != ERROR_CALL_NOT_IMPLEMENTED &&
      failure != ERROR_INVALID_FUNCTION) {
    return {static_cast<int>(failure), std::system_category()};
  }
  if (!temp.Close()) {
    return LastError();
  }
  while (!::MoveFileExW(tempPath.c_str(), page.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    failure = ::GetLastError();
    if (!MayBeHeldOpen(failure, page, deadline)) {
      return {static_cast<int>(failure), std::system_category()};
    }
  }
  return {};
}

}  // namespace

ReplayLookFailure MeasureReplays(const std::string& gameFolder, const std::string* names,
                                 std::optional<std::uint64_t>* lengths, std::size_t count) {
  std::fill(lengths, lengths + count, std::nullopt);
  // What can keep a replay from being looked at without anything being
  // wrong: it is not there, or not the user's to read, or the game holds it
  // open while it writes it.
  const auto isAbsence = [](DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_CANT_ACCESS_FILE || error == ERROR_CANT_RESOLVE_FILENAME;
  };
  const std::string replay = InFolder(gameFolder, "replay");
  // A `replay` folder the user may not list hides every replay: that is a
  // failure, not a page of None.
  const Handle folder(::CreateFileW(SystemPath(replay).c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!folder.valid()) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return {};
    }
    return {{static_cast<int>(error), std::system_category()}, "replay"};
  }
  if (!::GetFileInformationByHandle(folder.get(), &information)) {
    return {LastError(), "replay"};
  }
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return {};  // a file named replay: no replays
  }
  for (std::size_t i = 0; i < count; ++i) {
    // Opening a device can act on it (a tape rewinds when it is closed), and
    // Wine opens Unix devices and FIFOs that a replay's name links to. Their
    // attributes, read without opening, fail there; a folder is seen here.
    const std::wstring name = SystemPath(InFolder(replay, names[i]));
    WIN32_FILE_ATTRIBUTE_DATA named{};
    DWORD error = ERROR_SUCCESS;
    if (!::GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &named)) {
      // Wine's answer for a Unix FIFO or device: not a replay.
      error = ::GetLastError() == ERROR_INVALID_PARAMETER ? ERROR_SUCCESS : ::GetLastError();
    } else if ((named.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0) {
      // The sharing flags let the game keep writing its replays meanwhile.
      Handle file(::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      LARGE_INTEGER size{};
      if (!file.valid() || (::GetFileType(file.get()) == FILE_TYPE_DISK &&
                            (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0))) {
        error = ::GetLastError();
      } else if (::GetFileType(file.get()) == FILE_TYPE_DISK) {
        lengths[i] = static_cast<std::uint64_t>(size.QuadPart);
      }
    }
    if (error != ERROR_SUCCESS && !isAbsence(error)) {
      return {{static_cast<int>(error), std::system_category()}, "replay\\" + names[i]};
    }
  }
  return {};
}

ReplaceResult ReplaceFileAtomically(const std::string& path, std::string_view contents) {
  const std::wstring page = SystemPath(path);
  const auto [folder, name] = SplitPath(page, L"\\/");
  const std::wstring prefix = name + Wide(kTemporaryInfix);
  RemoveAbandonedTemporaries(folder, name);

  // The read-only attribute is what a user sets to protect a file: the page
  // stays, as it would for a plain truncating write. Wine lets even that
  // write through for root, so the attribute is checked here.
  const DWORD attributes = ::GetFileAttributesW(page.c_str());
  ReplaceResult result;
  result.hadFile =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (result.hadFile && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    result.error = {ERROR_ACCESS_DENIED, std::system_category()};
    return result;
  }

  // Open without FILE_SHARE_DELETE until it is renamed or removed, which is
  // what keeps other runs from taking it for abandoned.
  std::wstring tempPath;
  HANDLE created = INVALID_HANDLE_VALUE;
  do {
    tempPath = folder + prefix + Wide(RandomSuffix());
    created = ::CreateFileW(tempPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  } while (created == INVALID_HANDLE_VALUE &&
           (::GetLastError() == ERROR_FILE_EXISTS || ::GetLastError() == ERROR_ALREADY_EXISTS));
  Handle temp(created);
  if (!temp.valid()) {
    result.error = LastError();
    return result;
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
  if (!error) {
    error = RenameOpenFile(temp, tempPath, page);
  }
  if (error) {
    result.heldOpen = result.hadFile && HeldOpenElsewhere(error, page);
    // Still ours and still open: mark it for deletion through the handle.
    FILE_DISPOSITION_INFO dispose{TRUE};
    if (!temp.valid() ||
        !::SetFileInformationByHandle(temp.get(), FileDispositionInfo, &dispose, sizeof dispose)) {
      temp.Close();
      ::DeleteFileW(tempPath.c_str());
    }
  }
  result.error = error;
  return result;
}

}  // namespace chronolist
