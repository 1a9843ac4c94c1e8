#pragma once

#include <optional>

namespace zarvex {

/// The index of the first argument after the program name whose bytes in argv are not what the
/// user typed, or nothing. On Windows argv holds the ANSI code page, in which a character that
/// the code page lacks becomes '?' or a look-alike, and so a name of another, or no, file.
/// Elsewhere argv holds the bytes themselves.
std::optional<int> argumentOutsideCodePage();

}  // namespace zarvex
