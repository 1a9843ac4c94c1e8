#pragma once

#include <cstdio>
#include <string>

namespace zarvex {

/// Opens a script, header template or map for reading as text; null when it cannot be opened.
/// A folder opens on Linux and fails only when read; where the system refuses to open it, the
/// same read error is thrown here, so that both systems end the run alike.
std::FILE* openInput(const std::string& path);

}  // namespace zarvex
