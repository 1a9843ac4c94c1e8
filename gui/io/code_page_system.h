#pragma once

#include <array>

namespace visual {

/// The mark of a byte that the code page leaves unassigned.
inline constexpr char32_t kUnassigned = 0xFFFFFFFF;

/// The character of every byte of code page `codePage` (kUnassigned where it has none), as the
/// system converts them; false when the system does not know the code page.
bool decodeCodePage(int codePage, std::array<char32_t, 256>* decode);

/// The lower-case form of the letter `c` by the system's Unicode tables; `c` when it has none.
char32_t lowerLetter(char32_t c);

}  // namespace visual
