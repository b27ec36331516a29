#include "timelist/replay_scan.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "timelist/file_system.h"

namespace chronolist {

std::string ReplayPath(int room) {
#ifdef _WIN32
  constexpr const char* kFormat = ".\\replay\\map%03d.bdb";
#else
  constexpr const char* kFormat = "replay/map%03d.bdb";
#endif
  char path[32];
  std::snprintf(path, sizeof path, kFormat, room);
  return path;
}

void ScanReplays(RunTimeTable& table) {
  table.fill(kNoRun);
  constexpr auto kMaxFrames = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  for (int room = kFirstRoom; room <= kLastRoom; ++room) {
    if (auto length = RegularFileLength(ReplayPath(room))) {
      table[room] = static_cast<std::int32_t>(*length < kMaxFrames ? *length : kMaxFrames);
    }
  }
}

}  // namespace chronolist
