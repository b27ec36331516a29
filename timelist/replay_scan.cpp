#include "timelist/replay_scan.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>

#include "timelist/file_system.h"
#include "timelist/folder.h"

namespace chronolist {

namespace {
constexpr const char* kReplayFolder = "replay";
}  // namespace

bool HoldsReplayFolder(const std::string& folder) {
  return KindOfPath(InFolder(folder, kReplayFolder)) == PathKind::kFolder;
}

ScanFailure ScanReplays(RunTimeTable& table, const std::string& folder) {
  table.fill(kNoRun);
  static const std::array<std::string, kLastRoom> names = [] {
    std::array<std::string, kLastRoom> all;
    for (int room = kFirstRoom; room <= kLastRoom; ++room) {
      char name[24];
      std::snprintf(name, sizeof name, "map%03d.bdb", room);
      all[static_cast<std::size_t>(room - kFirstRoom)] = name;
    }
    return all;
  }();
  std::array<std::optional<std::uint64_t>, kLastRoom> lengths;
  const ReplayLookFailure failure =
      MeasureReplays(folder, names.data(), lengths.data(), lengths.size());
  if (failure.error) {
    return {failure.error,
            failure.path.empty() ? FolderName(folder) : InFolder(folder, failure.path)};
  }
  constexpr auto kMaxFrames = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  for (int room = kFirstRoom; room <= kLastRoom; ++room) {
    if (const auto length = lengths[static_cast<std::size_t>(room - kFirstRoom)]) {
      table[room] = static_cast<std::int32_t>(*length < kMaxFrames ? *length : kMaxFrames);
    }
  }
  return {};
}

}  // namespace chronolist
