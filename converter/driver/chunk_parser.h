#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "converter/mpformat/lenient_report.h"
#include "converter/mpformat/map_object.h"
#include "converter/mpformat/map_reader.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

/// One piece of a map as a reader of its own saw it. Line numbers count from the piece's start.
struct ParsedChunk {
  /// The piece itself, for reading on from it one token at a time.
  std::string bytes;
  bool first = false;
  std::deque<MapObject> objects;
  LenientReport report;
  /// Line breaks in the piece, as the tokenizer counted them.
  int32_t lineCount = 0;
  /// The error that ended reading, with the tokenizer that met it for the token dump.
  std::optional<ParserException> error;
  std::unique_ptr<Tokenizer> errorTokenizer;
  /// The error was met at the end of the piece, where a reader of the whole map reads on, so
  /// it may not be an error there.
  bool errorAtEnd = false;
};

/// Reads the header (in the first piece) and every object of `bytes`.
ParsedChunk parseChunk(std::string bytes, bool first, const std::string& fileName, bool lenient);

}  // namespace zarvex
