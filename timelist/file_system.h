// The two places where the time list touches the operating system: measuring
// a replay without reading it, and replacing the page in one step.
// One source per platform implements them (file_system_posix.cpp, ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace chronolist {

// The length of the regular file at `path`, taken from the open file itself.
// Empty when the file cannot be opened or is not a regular file. Never blocks
// (a FIFO without a writer is opened non-blocking and rejected).
std::optional<std::uint64_t> RegularFileLength(const std::string& path);

// True when `path` names a regular file (through a symlink too), whether or
// not it can be opened.
bool RegularFileExists(const std::string& path);

// Temporary files of `path` are named `path` + kTemporaryInfix + a random
// suffix, in the same folder.
inline constexpr const char* kTemporaryInfix = ".tmp-";

// Makes `path` hold exactly `contents`, or leaves it as it was. The bytes go to
// a temporary file in the same folder, are flushed to disk and renamed over
// `path`; a symlink at `path` is replaced, not followed. A file at `path` that
// the user may not write is left alone (permission denied); one that is
// replaced keeps its permissions. Temporary files that earlier writers left
// behind when they died are removed first; those of live writers are not.
// On failure nothing new is left in the folder and the system's error is
// returned; a file-size limit is a failure like a full disk, not a signal.
std::error_code ReplaceFileAtomically(const std::string& path, std::string_view contents);

}  // namespace chronolist
