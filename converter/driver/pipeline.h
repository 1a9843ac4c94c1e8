#pragma once

#include <cstdio>
#include <exception>

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

/// Resets and fills `attributes` from `object`, runs the entry's rules and settles the type.
/// Returns true when the object is to be written; throws UnknownObjectType.
bool applyRules(const ObjectConfImpl& entry, const MapObject& object, ObjectAttributes& attributes);

/// Reads the whole map file `input` of `entry`, then rules and writes its objects to `out`.
/// Closes `input`. A ParserException is reported (on stderr and stdout) and passed on. Stops
/// writing once `out` has failed. Lenient reading sums up on stderr what it skipped or kept.
void processMapFile(const ObjectConfImpl& entry, FILE* input, FILE* out, bool lenient = false);

}  // namespace zarvex
