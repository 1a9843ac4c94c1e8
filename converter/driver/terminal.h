#pragma once

#include <cstdio>

namespace zarvex {

/// Whether the stream is attached to a terminal or console (then a person may be watching it).
bool isTerminal(std::FILE* stream);

}  // namespace zarvex
