#pragma once

#include <cstdint>
#include <string>

#include "converter/mpformat/lenient_report.h"

namespace zarvex {

/// How a map file reads.
enum class MapReadability : uint8_t {
  /// The strict reader reads it whole.
  Strict,
  /// The strict reader stops, lenient reading reads it whole.
  Lenient,
  /// Even lenient reading stops, or the file cannot be opened or read.
  Unreadable,
};

/// Where a reading stopped: the message, and the line as ParserException counts it (line breaks
/// consumed, so 0 on the first line); -1 when the file could not be opened or read.
struct MapReadError {
  std::string message;
  int32_t line = -1;
};

/// Whether a map needs lenient reading, and why.
struct MapReadCheck {
  MapReadability readability = MapReadability::Strict;
  /// Where strict reading stopped; empty when Strict.
  MapReadError strictError;
  /// Where lenient reading stopped too, or what kept the file from being read; empty unless
  /// Unreadable.
  MapReadError error;
  /// What lenient reading skipped, kept or read in place of a known key, in the order first met;
  /// empty when Strict.
  LenientReport report;
};

/// Reads the map at `path` strictly and, when that stops, leniently; keeps no objects.
MapReadCheck checkMapFile(const std::string& path);

}  // namespace zarvex
