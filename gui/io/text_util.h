#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace visual {

/// `text` without leading and trailing blanks (every byte up to the space character).
std::string_view trimmed(std::string_view text);
/// `text` without leading blanks.
std::string_view trimmedLeft(std::string_view text);
/// ASCII lower case of `text`; other bytes unchanged.
std::string asciiLower(std::string_view text);
/// Position of `needle` (lower-case ASCII) in `text` compared without regard to ASCII case.
std::size_t findNoCase(std::string_view text, std::string_view needle);
/// True when `text` begins with `prefix` (lower-case ASCII) without regard to ASCII case.
bool startsWithNoCase(std::string_view text, std::string_view prefix);
/// True when the line carries nothing: empty after trimming, or a comment (first byte ';').
bool isBlankOrComment(std::string_view line);
/// A trimmed decimal integer, or a hexadecimal one after "0x"; nothing when it is not a number.
std::optional<int> parseInteger(std::string_view text);

}  // namespace visual
