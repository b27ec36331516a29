// The table a replay scan fills: one frame count per room, indexed directly by
// room number, and the constants every reader of it shares.
#pragma once

#include <array>
#include <cstdint>

namespace chronolist {

// Marks a room without a replay. It is an ordinary frame count (over 92 hours),
// so a replay of exactly this many bytes reads as missing too.
inline constexpr std::int32_t kNoRun = 9999999;

inline constexpr std::int32_t kFramesPerSecond = 30;

inline constexpr int kFirstRoom = 1;
inline constexpr int kLastRoom = 199;

// The Extra-mode rooms, the only ones the page shows.
inline constexpr int kFirstExtraRoom = 111;
inline constexpr int kLastExtraRoom = 151;

// Slot 0 is never scanned and always holds kNoRun.
using RunTimeTable = std::array<std::int32_t, kLastRoom + 1>;

}  // namespace chronolist
