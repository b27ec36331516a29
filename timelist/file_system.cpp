// The platform-neutral part of file_system.h.
#include "timelist/file_system.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <random>

namespace chronolist {

std::string RandomSuffix() {
  std::uint64_t bits = 0;
  try {
    std::random_device random;
    bits = (static_cast<std::uint64_t>(random()) << 32) ^ random();
  } catch (const std::exception&) {
    // No random source at all: the clock still keeps runs apart, and a name
    // that is taken is never used (the file is created exclusively).
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    bits = static_cast<std::uint64_t>(now) * 0x9E3779B97F4A7C15u;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return hex;
}

}  // namespace chronolist
