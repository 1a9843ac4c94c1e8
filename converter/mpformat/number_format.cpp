#include "converter/mpformat/number_format.h"

#include <array>
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

// The two digits of each number below 100 in text order, as the low bytes of a little-endian
// word, so that one load gives both.
constexpr std::array<uint16_t, 100> kPairWords = [] {
  std::array<uint16_t, 100> words{};
  for (int i = 0; i < 100; ++i)
    words[i] = static_cast<uint16_t>((i / 10 + '0') | (i % 10 + '0') << 8);
  return words;
}();

// Coordinates land here: an integer part below 1000. Written without data-dependent branches,
// since signs and digit counts of map data are unpredictable. Every byte stored lies inside the
// final text; a byte that turns out not to belong there is overwritten by the next one.
[[gnu::always_inline]] inline char* writeSmallFixed6(uint64_t units, bool negative, char* out) {
  // units / 10^8 in fixed point, 57 bits below the point, from the reciprocal rounded up: the
  // excess, under units / 4, stays below 2^57 / 10^8, one unit of the last digit. Each step
  // brings the next two digits above the point, and times 100 stays below 2^64.
  constexpr int kShift = 57;
  constexpr uint64_t kMask = (uint64_t{1} << kShift) - 1;
  constexpr uint64_t kReciprocal = ((uint64_t{1} << kShift) + 99999999) / 100000000;
  uint64_t t = units * kReciprocal;
  const uint64_t hundreds = t >> kShift;
  t = (t & kMask) * 100;
  const uint64_t whole = kPairWords[t >> kShift];
  t = (t & kMask) * 100;
  uint64_t tail = whole >> 8 | uint64_t{'.'} << 8 | uint64_t{kPairWords[t >> kShift]} << 16;
  t = (t & kMask) * 100;
  tail |= uint64_t{kPairWords[t >> kShift]} << 32;
  t = (t & kMask) * 100;
  tail |= uint64_t{kPairWords[t >> kShift]} << 48;
  // Whether a leading digit is kept, from its value (at most 9) rather than from a comparison,
  // which the compiler would turn into a branch.
  const uint64_t tens = (whole & 0xff) - '0';
  out[0] = '-';
  out += negative ? 1 : 0;
  out[0] = static_cast<char>('0' + hundreds);
  out += (hundreds + 15) >> 4;
  out[0] = static_cast<char>(whole & 0xff);
  out += ((hundreds | tens) + 15) >> 4;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &tail, 8);
  } else {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(tail >> (8 * i) & 0xff);
  }
  return out + 8;
}

char* formatFixed6Slow(double value, char* out) {
  char buffer[400];
  const int length = std::snprintf(buffer, sizeof buffer, "%.6f", value);
  std::memcpy(out, buffer, static_cast<size_t>(length));
  return out + length;
}

// Every double, through its exact binary value. Kept out of line, so that the registers it needs
// are not saved on the quick path of every coordinate.
[[gnu::noinline]] char* formatFixed6Exact(double value, char* out) {
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

// Coordinates: below 1000 in magnitude, value * 10^6 < 2^30 is off by at most 2^-24 from the
// exact product, so unless it lies within 2^-20 of a half, the integer nearest to the double is
// the count of millionths the exact path would find, at a fraction of its cost. Below 2^52,
// adding and taking away 2^52 rounds to an integer without a library call or SSE4.1; a directed
// rounding mode could only make the test fail, never pass wrongly. The bound also keeps out
// what rounds to 1000, infinities and NaNs.
[[gnu::always_inline]] inline char* writeFixed6(double value, char* out) {
  const double product = std::fabs(value) * 1e6;
  if (product < 999999999.5) {
    constexpr double kTwoPow52 = 4503599627370496.0;
    const double nearest = (product + kTwoPow52) - kTwoPow52;
    constexpr double kMargin = 1.0 / (1 << 20);
    if (std::fabs(product - nearest) < 0.5 - kMargin)
      return writeSmallFixed6(static_cast<uint32_t>(nearest), std::signbit(value), out);
  }
  return formatFixed6Exact(value, out);
}

}  // namespace

char* formatFixed6(double value, char* out) {
  return writeFixed6(value, out);
}

char* formatFixed6Pair(double first, double second, char* out) {
  out = writeFixed6(first, out);
  *out++ = ',';
  return writeFixed6(second, out);
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
