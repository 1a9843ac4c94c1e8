#pragma once

#include <cstddef>
#include <cstdio>
#include <exception>

#include "converter/driver/command_line.h"
#include "converter/driver/output_file.h"
#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/object_conf.h"

namespace zarvex {

/// An object left with type -1 whose kind has no per-kind type; the conversion must stop.
class UnknownObjectType final : public std::exception {
 public:
  explicit UnknownObjectType(ObjectKind objectKind) : kind(objectKind) {}
  const char* what() const noexcept override { return "Unknown object type"; }

  ObjectKind kind;
};

/// How maps are read and written.
struct ConversionOptions {
  /// Maps are read leniently; what was skipped or kept is summed up on stderr.
  bool lenient = false;
  /// Threads that read and format pieces of a map side by side while the rules run in file
  /// order; 1 reads the map in one pass on the calling thread.
  unsigned jobs = 1;
  /// About how many bytes of a map one piece holds.
  std::size_t chunkBytes = kDefaultChunkBytes;
};

/// Resets and fills `attributes` from `object`, runs the entry's rules and settles the type.
/// Returns true when the object is to be written; throws UnknownObjectType.
bool applyRules(const ObjectConfImpl& entry, const MapObject& object, ObjectAttributes& attributes);

/// Reads the map file `input` of `entry` object by object, rules and writes its objects to
/// `output`, holding no more of the map than a few pieces. Closes `input`. A map that turns out
/// faulty leaves nothing in the output: its ParserException is reported (on stderr and stdout)
/// and passed on. After an object without a type, what came before it stays and
/// UnknownObjectType is passed on once the map has been read whole. Stops once the output has
/// failed.
void processMapFile(const ObjectConfImpl& entry, FILE* input, OutputFile& output,
                    const ConversionOptions& options);

}  // namespace zarvex
