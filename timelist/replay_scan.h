// Turns the game's replay folder into run times: a replay's length in bytes is
// the run's time in frames.
#pragma once

#include <string>

#include "timelist/run_time_table.h"

namespace chronolist {

// The path of room `room`'s replay, relative to the working directory
// ("replay/map007.bdb"; backslashes on Windows).
std::string ReplayPath(int room);

// Fills every slot with kNoRun, then stores the length of each replay of rooms
// 1 to 199 that can be opened. A missing replay, or a name that is not a
// regular file (directory, FIFO, device), leaves its slot at kNoRun. Lengths
// above INT32_MAX saturate. Never blocks and never fails as a whole.
void ScanReplays(RunTimeTable& table);

}  // namespace chronolist
