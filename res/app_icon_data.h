// The application icon (resource id 128) as the bytes of res/app_icon.ico,
// compiled in at build time so the program needs no file beside it.
// Decode with fw::DecodeIco.
#pragma once

#include <cstdint>
#include <span>

namespace res {

std::span<const std::uint8_t> AppIconIco();

}  // namespace res
