#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace fuzz {

/// The fuzzer's bytes as a read-only stream, as the readers get their files.
inline FILE* openBytes(const uint8_t* data, size_t size) {
  // fmemopen refuses an empty buffer; an empty file is a case worth reading all the same.
  static const char empty = 0;
  return size == 0 ? fmemopen(const_cast<char*>(&empty), 1, "r")
                   : fmemopen(const_cast<uint8_t*>(data), size, "r");
}

/// Splits the input at the first occurrence of `separator`; the rest stays in `input`.
inline std::string_view takePart(std::string_view& input, std::string_view separator) {
  const size_t at = input.find(separator);
  if (at == std::string_view::npos) {
    std::string_view all = input;
    input = {};
    return all;
  }
  std::string_view part = input.substr(0, at);
  input.remove_prefix(at + separator.size());
  return part;
}

}  // namespace fuzz
