// The two places where the time list touches the operating system: measuring
// a replay without reading it, and replacing the page in one step.
// One source per platform implements them (file_system_posix.cpp, ...); what
// they share is here and in file_system.cpp.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace chronolist {

// The replays `names` in the folder `replay` of `gameFolder` (empty: the
// working folder): lengths[i] is names[i]'s length when it is a regular file
// the user may read, and empty when it is absent, a broken link, not a regular
// file, or not the user's to read. No `replay` folder (or a file by that
// name): all empty. Anything else that keeps a replay from being looked at
// (a `replay` folder the user may not list or search, a failing disk) fails
// the whole scan: the error, and what could not be read, relative to
// `gameFolder` with the system's separators ("replay", "replay/<name>"; empty
// for the game folder itself). No device or FIFO in a replay's place is ever
// opened for reading, however it got there.
struct ReplayLookFailure {
  std::error_code error;
  std::string path;
};
ReplayLookFailure MeasureReplays(const std::string& gameFolder, const std::string* names,
                                 std::optional<std::uint64_t>* lengths, std::size_t count);

// Temporary files of `path` are named `path` + kTemporaryInfix + 16 random
// lowercase hex digits, in the same folder.
inline constexpr const char* kTemporaryInfix = ".tmp-";

// Sixteen random lowercase hex digits, from the system's random source, so
// that no one can guess a temporary file's name and place something there
// first.
std::string RandomSuffix();

// True when `entry` is exactly the name of a temporary file of the page
// `name`: the random form, or the `<pid>-<n>` form that earlier versions used
// and may have left behind. Any other name is the user's.
inline bool IsTemporaryName(std::string_view entry, std::string_view name) {
  const std::string_view infix = kTemporaryInfix;
  if (!entry.starts_with(name) || !entry.substr(name.size()).starts_with(infix)) {
    return false;
  }
  const std::string_view suffix = entry.substr(name.size() + infix.size());
  const auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const auto dash = suffix.find('-');
  if (dash == std::string_view::npos) {
    return suffix.size() == 16 && std::all_of(suffix.begin(), suffix.end(), isHex);
  }
  const std::string_view pid = suffix.substr(0, dash);
  const std::string_view attempt = suffix.substr(dash + 1);
  return !pid.empty() && !attempt.empty() && std::all_of(pid.begin(), pid.end(), isDigit) &&
         std::all_of(attempt.begin(), attempt.end(), isDigit);
}

struct ReplaceResult {
  std::error_code error;
  // A regular file (or a link to one) is at the path after a failed replace:
  // the page that was there, untouched.
  bool hadFile = false;
  // Another program had the file open and would not let it be replaced
  // (Windows): closing that program is the cure, not a permission.
  bool heldOpen = false;
};

// Makes `path` hold exactly `contents`, or leaves it as it was. The bytes go to
// a temporary file in the same folder, are flushed to disk and renamed over
// `path`; a symlink at `path` is replaced, not followed. A file at `path` that
// the user may not write is left alone (permission denied); one that is
// replaced keeps its permissions (mode, owner, access ACL; a link's are those
// of the file it leads to) where the file system keeps any, and is never more
// open than it was. Only an absent page counts as none: any other error in
// looking at it fails the replace. Temporary files that earlier writers left
// behind when they died are removed first; those of live writers, links and
// other files are not. A folder path of any length is taken.
// On failure nothing new is left in the folder and the system's error is
// returned; a file-size limit is a failure like a full disk, not a signal.
ReplaceResult ReplaceFileAtomically(const std::string& path, std::string_view contents);

}  // namespace chronolist
