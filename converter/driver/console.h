#pragma once

#include <cstdio>

namespace zarvex {

/// Opens the null device on each of the standard descriptors 0 to 2 that is closed, so that no
/// file opened later takes its place and receives what is meant for the console. False when the
/// null device cannot be opened.
bool openClosedStandardStreams();

/// True when `stream` writes to a terminal.
bool isTerminal(FILE* stream);

}  // namespace zarvex
