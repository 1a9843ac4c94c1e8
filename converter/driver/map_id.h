#pragma once

#include <string>
#include <string_view>

namespace zarvex {

/// Minimum length of a `-m` argument: makeMapId reads its bytes up to position 5.
inline constexpr std::size_t kMinMapNameLength = 6;

/// The eight-character map identifier derived from a `-m` argument such as K-12-3 ("11110123").
/// `mapName` must hold at least kMinMapNameLength bytes.
std::string makeMapId(std::string_view mapName);

}  // namespace zarvex
