#include <cstdint>
#include <random>

#include "converter/driver/output_file.h"

namespace zarvex {

std::string OutputFile::temporarySuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (std::uint64_t bits = generator(); suffix.size() < 6; bits /= 36)
    suffix += kDigits[bits % 36];
  return suffix;
}

OutputFile::~OutputFile() {
  discard();
}

}  // namespace zarvex
