#pragma once

#include <cstdint>

// The program's shared flags are 16-bit: -1 true, 0 false.
namespace Flags {
constexpr int16_t True = -1;
constexpr int16_t False = 0;
} // namespace Flags
