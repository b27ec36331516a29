// Turns the game's replay folder into run times: a replay's length in bytes is
// the run's time in frames.
#pragma once

#include <string>
#include <system_error>

#include "timelist/run_time_table.h"

namespace chronolist {

// True when `folder` (empty: the working folder) holds a folder `replay`,
// empty or not: then it is a game folder.
bool HoldsReplayFolder(const std::string& folder);

// Why a scan could not be finished: the system's error and the path of what
// could not be read (the folder `replay`, or one replay) in the folder as it
// was given, or the folder's own name (FolderName) when it was the folder.
struct ScanFailure {
  std::error_code error;
  std::string path;

  explicit operator bool() const { return static_cast<bool>(error); }
};

// Fills every slot with kNoRun, then stores the length of each replay of rooms
// 1 to 199 in `folder` (empty: the working folder). A replay that is absent,
// a broken link, not a regular file (directory, FIFO, device) or not the
// user's to read leaves its slot at kNoRun, and so does a missing `replay`
// folder. Lengths above INT32_MAX saturate. Anything else that keeps the
// replays from being read (a `replay` folder the user may not list or search,
// a failing disk) is a failure: a page made from that table would show None
// for runs the player made. Never blocks.
[[nodiscard]] ScanFailure ScanReplays(RunTimeTable& table, const std::string& folder = {});

}  // namespace chronolist
