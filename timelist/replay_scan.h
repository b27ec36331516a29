// Turns the game's replay folder into run times: a replay's length in bytes is
// the run's time in frames.
#pragma once

#include <string>

#include "timelist/run_time_table.h"

namespace chronolist {

// The path of room `room`'s replay in the game folder `folder`; relative to
// the working folder when `folder` is empty ("replay/map007.bdb", on Windows
// ".\replay\map007.bdb").
std::string ReplayPath(int room, const std::string& folder = {});

// True when `folder` (empty: the working folder) holds a folder `replay`,
// empty or not: then it is a game folder.
bool HoldsReplayFolder(const std::string& folder);

// Fills every slot with kNoRun, then stores the length of each replay of rooms
// 1 to 199 in `folder` (empty: the working folder) that can be opened. A missing replay, or a name
// that is not a regular file (directory, FIFO, device), leaves its slot at kNoRun. Lengths above
// INT32_MAX saturate. Never blocks and never fails as a whole.
void ScanReplays(RunTimeTable& table, const std::string& folder = {});

}  // namespace chronolist
