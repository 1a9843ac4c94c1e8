#include "converter/mpformat/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace zarvex {
namespace {

constexpr size_t kBufferSize = 2 * kMaxFixed6Size + 100;
constexpr char kSentinel = '\x7f';

// Runs a formatter on a buffer filled with a sentinel, so that a stray byte past the returned end
// (a terminating NUL, say) is caught along with a wrong text.
template <typename F, typename V>
std::string run(F format, V value, size_t limit) {
  char buffer[kBufferSize];
  std::memset(buffer, kSentinel, sizeof buffer);
  const char* end = format(value, buffer);
  const auto length = static_cast<size_t>(end - buffer);
  EXPECT_LE(length, limit);
  for (size_t i = length; i < sizeof buffer; ++i) {
    if (buffer[i] != kSentinel) {
      ADD_FAILURE() << "byte written past the end at " << i;
      break;
    }
  }
  return std::string(buffer, length);
}

std::string fixed(double v) {
  return run(formatFixed6, v, kMaxFixed6Size);
}

std::string printfFixed(double v) {
  char buffer[kBufferSize];
  const int n = std::snprintf(buffer, sizeof buffer, "%.6f", v);
  return std::string(buffer, static_cast<size_t>(n));
}

template <typename V>
std::string printfString(const char* format, V v) {
  char buffer[32];
  const int n = std::snprintf(buffer, sizeof buffer, format, v);
  return std::string(buffer, static_cast<size_t>(n));
}

// Compares without stopping at the first mismatch but without flooding the log either.
void expectFixedMatches(const std::vector<double>& values) {
  int failures = 0;
  for (double v : values) {
    const std::string expected = printfFixed(v);
    const std::string actual = fixed(v);
    if (expected != actual && ++failures <= 10) {
      ADD_FAILURE() << "bits 0x" << std::hex << std::bit_cast<uint64_t>(v) << ": expected "
                    << expected << ", got " << actual;
    }
  }
  EXPECT_EQ(0, failures);
}

TEST(NumberFormatTest, Fixed6HandPicked) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> values = {
      0.0,
      -0.0,
      1.0,
      -1.0,
      0.5,
      0.0078125,
      -0.0078125,
      0.0234375,
      1.0078125,
      0.0000005,
      0.0000015,
      0.0000025,
      0.0000035,
      -0.0000005,
      0.5e-6,
      1e-6,
      1e-7,
      -1e-9,
      0.1234565,
      123.4565,
      55.123456,
      37.654321,
      -179.999999,
      179.9999995,
      180.0,
      0.9999995,
      9.9999995,
      999999.9999995,
      99999.99999949999,
      1e15,
      1e15 + 0.5,
      1e16,
      1e17,
      1e22,
      1e23,
      1e300,
      -1e300,
      DBL_MAX,
      -DBL_MAX,
      DBL_MIN,
      DBL_TRUE_MIN,
      -DBL_TRUE_MIN,
      1e-310,
      4294967295.5,
      2147483648.0,
      0x1p52,
      0x1p53,
      0x1p53 + 2,
      0x1p63,
      0x1p64,
      0x1p64 - 2048,
      0x1p70 + 0x1p18,
      0x1p106,
      0x1.fffffffffffffp106,
      0x1p107,
      0x1.fffffffffffffp107,
      0x1p108,
      inf,
      -inf,
      std::numeric_limits<double>::quiet_NaN(),
  };
  // Both neighbours of each half-millionth and of each power of ten.
  for (double v : {0.5e-6, 1.5e-6, 2.5e-6, 0.0078125, 0.1, 1.0, 10.0, 1e6, 1e15, 0x1p53}) {
    for (double x : {v, -v}) {
      values.push_back(std::nextafter(x, 0.0));
      values.push_back(std::nextafter(x, 2 * x));
    }
  }
  for (int power = -8; power <= 22; ++power) {
    const double p = std::pow(10.0, power);
    values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, 2 * p), -p});
  }
  expectFixedMatches(values);
  EXPECT_EQ("-0.000000", fixed(-0.0));
  EXPECT_EQ("0.007812", fixed(0.0078125));
  EXPECT_EQ("0.023438", fixed(0.0234375));
}

// Exact binary ties: odd multiples of 2^-7 times 10^6 end in exactly one half.
TEST(NumberFormatTest, Fixed6ExactTiesRoundToEven) {
  std::vector<double> values;
  for (int whole : {0, 1, 2, 37, 55, 179, 1000001}) {
    for (int k = 1; k < 128; k += 2) {
      const double v = whole + k / 128.0;
      values.push_back(v);
      values.push_back(-v);
    }
  }
  expectFixedMatches(values);
}

TEST(NumberFormatTest, Fixed6RandomCoordinates) {
  std::mt19937_64 random(20240601);
  std::uniform_int_distribution<int64_t> micro(-180000000, 180000000);
  std::uniform_int_distribution<int64_t> tenthMicro(-1800000000, 1800000000);
  std::vector<double> values;
  values.reserve(3000000);
  for (int i = 0; i < 1500000; ++i) {
    values.push_back(static_cast<double>(micro(random)) / 1e6);
    values.push_back(static_cast<double>(tenthMicro(random)) / 1e7);
  }
  expectFixedMatches(values);
}

// The quick path for coordinates must hand every value whose rounding it cannot tell apart, and
// every value that rounds up to 1000, to the exact path.
TEST(NumberFormatTest, Fixed6NearHalvesAndTheTopOfTheQuickRange) {
  std::vector<double> values = {999.9999995, 999.99999949999, -999.9999996, 999.999999, 1000.0,
                                -0.0,        0.0000005,       -0.0000005};
  std::mt19937_64 random(5);
  std::uniform_int_distribution<int64_t> micro(-999999999, 999999999);
  for (int i = 0; i < 200000; ++i) {
    const double half = (static_cast<double>(micro(random)) + 0.5) / 1e6;
    values.push_back(half);
    values.push_back(std::nextafter(half, 0.0));
    values.push_back(std::nextafter(half, 2000.0));
  }
  expectFixedMatches(values);
}

// The quick path takes its digits from one product: every fraction where that product's error is
// smallest and largest, and every integer part with the fractions at both ends of its range.
TEST(NumberFormatTest, Fixed6EveryFractionAndIntegerPart) {
  std::vector<double> values;
  values.reserve(2008000);
  for (int64_t whole : {0, 999}) {
    for (int64_t k = 0; k < 1000000; ++k) {
      const double v = static_cast<double>(whole * 1000000 + k) / 1e6;
      values.push_back(k % 2 == 0 ? v : -v);
    }
  }
  for (int whole = 0; whole < 1000; ++whole) {
    for (double fraction : {0.0, 0.000001, 0.5, 0.999999}) {
      values.push_back(whole + fraction);
      values.push_back(-(whole + fraction));
    }
  }
  expectFixedMatches(values);
}

// The second number is written where the first ends, whichever path either takes.
TEST(NumberFormatTest, Fixed6PairIsBothNumbersWithAComma) {
  const double values[] = {0.0,          -0.0,        55.75,
                           -179.9999996, 999.9999995, 1e300,
                           -DBL_MAX,     1e-310,      std::numeric_limits<double>::quiet_NaN()};
  for (double first : values) {
    for (double second : values) {
      const auto pair = [second](double v, char* out) { return formatFixed6Pair(v, second, out); };
      EXPECT_EQ(printfFixed(first) + "," + printfFixed(second),
                run(pair, first, 2 * kMaxFixed6Size + 1));
    }
  }
}

TEST(NumberFormatTest, Fixed6RandomBits) {
  std::mt19937_64 random(77);
  std::uniform_int_distribution<int> exponent(-90, 60);
  std::vector<double> values;
  values.reserve(3000000);
  for (int i = 0; i < 200000; ++i) values.push_back(std::bit_cast<double>(random()));
  // Mantissas of every length at the scales where rounding is decided in the exact path.
  for (int i = 0; i < 2000000; ++i) {
    const double mantissa = std::bit_cast<double>((random() >> 12) | 0x3ff0000000000000ull);
    values.push_back(std::ldexp(random() & 1 ? mantissa : -mantissa, exponent(random)));
  }
  expectFixedMatches(values);
}

TEST(NumberFormatTest, Integers) {
  std::vector<int32_t> ints = {0, 1, -1, 9, 10, -10, 99, 100, INT32_MAX, INT32_MIN, INT32_MIN + 1};
  std::vector<uint32_t> unsigneds = {0, 1, 0xf, 0x10, 0xff, 0x100, UINT32_MAX, 0x80000000u};
  for (int64_t p = 1; p <= 1000000000; p *= 10) {
    const auto i = static_cast<int32_t>(p);
    ints.insert(ints.end(), {i, i - 1, -i, 1 - i});
    const auto u = static_cast<uint32_t>(p);
    unsigneds.insert(unsigneds.end(), {u, u - 1, u + 1, u * 4 - 1, u * 4});
  }
  std::mt19937 random(5);
  for (int i = 0; i < 300000; ++i) {
    const uint32_t r = random() >> (random() % 32);
    ints.push_back(static_cast<int32_t>(r));
    unsigneds.push_back(r);
  }
  int failures = 0;
  for (int32_t v : ints) {
    if (run(formatInt, v, 11) != printfString("%d", v) && ++failures <= 10) {
      ADD_FAILURE() << "formatInt " << v;
    }
  }
  for (uint32_t v : unsigneds) {
    if (run(formatUnsigned, v, 10) != printfString("%u", v) && ++failures <= 10) {
      ADD_FAILURE() << "formatUnsigned " << v;
    }
    if (run(formatHex, v, 8) != printfString("%x", v) && ++failures <= 10) {
      ADD_FAILURE() << "formatHex " << v;
    }
  }
  EXPECT_EQ(0, failures);
  EXPECT_EQ("-2147483648", run(formatInt, INT32_MIN, 11));
  EXPECT_EQ("ffffffff", run(formatHex, UINT32_MAX, 8));
}

}  // namespace
}  // namespace zarvex
