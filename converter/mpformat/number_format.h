#pragma once

#include <cstdint>

namespace zarvex {

// Fast number formatting for the writer's hot path, byte-identical to the C library's printf.
// Each function writes at `out` without a terminating NUL and returns the end of what it wrote.

/// As "%.6f" (exact decimal value rounded half to even, as glibc does); at most 330 bytes.
char* formatFixed6(double value, char* out);
/// As "%d"; at most 11 bytes.
char* formatInt(int32_t value, char* out);
/// As "%u"; at most 10 bytes.
char* formatUnsigned(uint32_t value, char* out);
/// As "%x"; at most 8 bytes.
char* formatHex(uint32_t value, char* out);

}  // namespace zarvex
