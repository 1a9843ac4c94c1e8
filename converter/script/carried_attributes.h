#pragma once

#include "converter/script/statements.h"

namespace zarvex {

/// False when the statements of `block` are known to leave zip, www, road_class and speed_limit
/// alone. Those are the only attributes that carry over from one object to the next, so without
/// them the objects of a map can be ruled in any order.
bool mayCarryOver(const Block& block);

}  // namespace zarvex
