#include "timelist/replay_scan.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "timelist/file_system.h"
#include "timelist/folder.h"

namespace chronolist {

namespace {
constexpr const char* kReplayFolder = "replay";
}  // namespace

std::string ReplayPath(int room, const std::string& folder) {
  char name[24];
  std::snprintf(name, sizeof name, "map%03d.bdb", room);
  if (!folder.empty()) {
    return InFolder(InFolder(folder, kReplayFolder), name);
  }
#ifdef _WIN32
  return std::string(".\\") + kReplayFolder + "\\" + name;
#else
  return std::string(kReplayFolder) + "/" + name;
#endif
}

bool HoldsReplayFolder(const std::string& folder) {
  return KindOfPath(InFolder(folder, kReplayFolder)) == PathKind::kFolder;
}

void ScanReplays(RunTimeTable& table, const std::string& folder) {
  table.fill(kNoRun);
  constexpr auto kMaxFrames = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  for (int room = kFirstRoom; room <= kLastRoom; ++room) {
    if (auto length = RegularFileLength(ReplayPath(room, folder))) {
      table[room] = static_cast<std::int32_t>(*length < kMaxFrames ? *length : kMaxFrames);
    }
  }
}

}  // namespace chronolist
