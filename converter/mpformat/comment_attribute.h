#pragma once

#include <optional>
#include <string_view>

#include "converter/mpformat/map_object.h"

namespace zarvex {

/// The key=value attribute of a comment line before a section (text after the ';'), if it has
/// one; only the space counts as blank around key and value.
std::optional<KeyValue> parseCommentAttribute(std::string_view text);

}  // namespace zarvex
