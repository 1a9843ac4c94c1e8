#pragma once

#include <cstdio>

#include "converter/driver/command_line.h"

namespace zarvex {

/// Copies the header template to `out`, each '%' replaced by the map identifier and each '$' by
/// the map name, then writes "\n\n". A missing template is reported on `err` and skipped.
/// Throws IOException when the template cannot be read.
void writeHeader(const DriverSettings& settings, FILE* out, FILE* err);

}  // namespace zarvex
