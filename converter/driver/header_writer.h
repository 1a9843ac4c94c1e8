#pragma once

#include <cstddef>
#include <cstdio>

#include "converter/driver/command_line.h"

namespace zarvex {

/// The template is read and written in pieces of this many bytes.
inline constexpr std::size_t kHeaderPieceSize = 16384;

/// Copies the header template to `out`, each '%' replaced by the map identifier and each '$' by
/// the map name, then writes "\n\n". A missing template is reported on `err` and skipped.
/// Throws IOException when the template cannot be read.
void writeHeader(const DriverSettings& settings, FILE* out, FILE* err);

}  // namespace zarvex
