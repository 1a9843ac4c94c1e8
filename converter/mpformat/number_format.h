#pragma once

#include <cstddef>
#include <cstdint>

namespace zarvex {

// Fast number formatting for the writer's hot path, byte-identical to the C library's printf.
// Each function writes at `out` without a terminating NUL and returns the end of what it wrote.

/// The most that formatFixed6 writes.
inline constexpr size_t kMaxFixed6Size = 330;

/// As "%.6f" (exact decimal value rounded half to even, as glibc does); at most kMaxFixed6Size
/// bytes.
char* formatFixed6(double value, char* out);
/// As "%.6f,%.6f", the writer's coordinate pair in one call; at most 2 * kMaxFixed6Size + 1
/// bytes.
char* formatFixed6Pair(double first, double second, char* out);
/// As "%d"; at most 11 bytes.
char* formatInt(int32_t value, char* out);
/// As "%u"; at most 10 bytes.
char* formatUnsigned(uint32_t value, char* out);
/// As "%x"; at most 8 bytes.
char* formatHex(uint32_t value, char* out);

}  // namespace zarvex
