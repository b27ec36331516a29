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

// Makes `path` hold exactly `contents`, or leaves it as it was. The bytes go to
// a temporary file in the same folder, are flushed to disk and renamed over
// `path`; a symlink at `path` is replaced, not followed. On failure the
// temporary file is removed and the system's error is returned.
std::error_code ReplaceFileAtomically(const std::string& path, std::string_view contents);

}  // namespace chronolist
