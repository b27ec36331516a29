// Splits a frame count into minutes, seconds and frames at a given rate, with
// C's truncating division: seconds are 0-59 and frames 0 to rate-1 for any
// count that is not negative.
#pragma once

#include <cstdint>

namespace chronolist::SplitFrames {

// The products are taken in 64 bits so that no count and rate overflow.
// `rate` must be positive.
constexpr std::int32_t Minutes(std::int32_t frames, std::int32_t rate) {
  return static_cast<std::int32_t>(frames / (std::int64_t{60} * rate));
}

constexpr std::int32_t Seconds(std::int32_t frames, std::int32_t rate) {
  const std::int64_t rest = frames - std::int64_t{60} * rate * Minutes(frames, rate);
  return static_cast<std::int32_t>(rest / rate);
}

constexpr std::int32_t Frames(std::int32_t frames, std::int32_t rate) {
  const std::int64_t rest = frames - std::int64_t{60} * rate * Minutes(frames, rate);
  return static_cast<std::int32_t>(rest % rate);
}

}  // namespace chronolist::SplitFrames
