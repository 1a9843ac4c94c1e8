#include "converter/mpformat/number_format.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zarvex {

namespace {

__extension__ typedef unsigned __int128 u128;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr uint64_t kMillion = 1000000;

int decimalLength(uint64_t v) {
  int length = 1;
  for (uint64_t limit = 10; length < 20 && v >= limit; limit *= 10) ++length;
  return length;
}

// Writes exactly `length` digits of `v` ending at out + length, two at a time from the right.
void writeDigits(uint64_t v, char* out, int length) {
  char* p = out + length;
  while (length >= 2) {
    const auto pair = static_cast<size_t>(v % 100) * 2;
    v /= 100;
    p -= 2;
    p[0] = kDigitPairs[pair];
    p[1] = kDigitPairs[pair + 1];
    length -= 2;
  }
  if (length == 1) *--p = static_cast<char>('0' + v);
}

char* writeUnsigned(uint64_t v, char* out) {
  const int length = decimalLength(v);
  writeDigits(v, out, length);
  return out + length;
}

// For v < 10^19 * 2^64, which covers every integer part of the exact path (below 2^127 / 10^6).
char* writeUnsigned(u128 v, char* out) {
  constexpr uint64_t kTenPow19 = 10000000000000000000ull;
  if (v <= UINT64_MAX) return writeUnsigned(static_cast<uint64_t>(v), out);
  const auto low = static_cast<uint64_t>(v % kTenPow19);
  out = writeUnsigned(static_cast<uint64_t>(v / kTenPow19), out);
  writeDigits(low, out, 19);
  return out + 19;
}

// Coordinates land here: an integer part below 1000. Written without data-dependent branches,
// since signs and digit counts of map data are unpredictable. Every byte stored lies inside the
// final text; a byte that turns out not to belong there is overwritten by the next one.
char* writeSmallFixed6(uint64_t units, bool negative, char* out) {
  const auto whole = static_cast<uint32_t>(units / kMillion);
  const auto fraction = static_cast<uint32_t>(units - uint64_t{whole} * kMillion);
  out[0] = '-';
  out += negative ? 1 : 0;
  const uint32_t tens = (whole % 100) * 2;
  out[0] = static_cast<char>('0' + whole / 100);
  out += whole >= 100 ? 1 : 0;
  out[0] = kDigitPairs[tens];
  out += whole >= 10 ? 1 : 0;
  out[0] = kDigitPairs[tens + 1];
  out[1] = '.';
  const uint32_t high = fraction / 10000;
  const uint32_t middle = fraction / 100 % 100;
  const uint32_t low = fraction % 100;
  std::memcpy(out + 2, kDigitPairs + high * 2, 2);
  std::memcpy(out + 4, kDigitPairs + middle * 2, 2);
  std::memcpy(out + 6, kDigitPairs + low * 2, 2);
  return out + 8;
}

char* formatFixed6Slow(double value, char* out) {
  char buffer[400];
  const int length = std::snprintf(buffer, sizeof buffer, "%.6f", value);
  std::memcpy(out, buffer, static_cast<size_t>(length));
  return out + length;
}

}  // namespace

char* formatFixed6(double value, char* out) {
  // Coordinates: below 1000 in magnitude, value * 10^6 < 2^30 is off by at most 2^-23 from the
  // exact product, so unless its fraction lies within 2^-20 of a half, rounding the double gives
  // the same millionths as the exact path below, at a fraction of its cost.
  const double magnitude = std::fabs(value);
  if (magnitude < 1000.0) {
    const double product = magnitude * 1e6;
    const double floor = std::floor(product);
    const double fraction = product - floor;
    constexpr double kMargin = 1.0 / (1 << 20);
    if (fraction < 0.5 - kMargin || fraction > 0.5 + kMargin) {
      const auto units = static_cast<uint64_t>(floor) + (fraction > 0.5 ? 1 : 0);
      if (units < 1000 * kMillion) return writeSmallFixed6(units, std::signbit(value), out);
    }
  }
  const auto bits = std::bit_cast<uint64_t>(value);
  const auto biased = static_cast<int>((bits >> 52) & 0x7ff);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0x7ff) return formatFixed6Slow(value, out);
  int exponent = -1074;
  if (biased != 0) {
    mantissa |= uint64_t{1} << 52;
    exponent = biased - 1075;
  }
  // mantissa * 10^6 < 2^73, so shifting left by up to 54 stays below 2^127.
  if (exponent > 54) return formatFixed6Slow(value, out);

  // |value| * 10^6 = mantissa * 10^6 * 2^exponent, exactly; it is rounded to an integer count of
  // millionths as printf does: nearest, ties to even on the exact binary value.
  const u128 scaled = static_cast<u128>(mantissa) * kMillion;
  u128 units = 0;
  if (exponent >= 0) {
    units = scaled << exponent;
  } else if (const int shift = -exponent; shift < 74) {
    // Adding half - 1 plus the quotient's lowest bit carries exactly when the remainder is above
    // half, or equal to it with an odd quotient.
    const u128 half = u128{1} << (shift - 1);
    units = (scaled + (half - 1) + ((scaled >> shift) & 1)) >> shift;
  }
  // With a shift of 74 or more, scaled < 2^73 <= half: the value rounds to zero.

  const bool negative = (bits >> 63) != 0;
  if (units < 1000 * kMillion) return writeSmallFixed6(static_cast<uint64_t>(units), negative, out);
  if (negative) *out++ = '-';
  uint64_t fraction = 0;
  if (units <= UINT64_MAX) {
    const auto u = static_cast<uint64_t>(units);
    out = writeUnsigned(u / kMillion, out);
    fraction = u % kMillion;
  } else {
    out = writeUnsigned(units / kMillion, out);
    fraction = static_cast<uint64_t>(units % kMillion);
  }
  *out++ = '.';
  writeDigits(fraction, out, 6);
  return out + 6;
}

char* formatInt(int32_t value, char* out) {
  auto magnitude = static_cast<uint32_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;
  }
  return writeUnsigned(uint64_t{magnitude}, out);
}

char* formatUnsigned(uint32_t value, char* out) {
  return writeUnsigned(uint64_t{value}, out);
}

char* formatHex(uint32_t value, char* out) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  const int length = value == 0 ? 1 : (std::bit_width(value) + 3) / 4;
  for (int i = length - 1; i >= 0; --i) {
    out[i] = kHexDigits[value & 0xf];
    value >>= 4;
  }
  return out + length;
}

}  // namespace zarvex
