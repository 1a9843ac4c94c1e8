#pragma once

#include <string>

namespace visual {

/// Starts the batch file at `path` in its own folder, detached, inside a terminal emulator when
/// one is available so that the user sees the converter's output. False when nothing could be
/// started.
bool openBatchFile(const std::string& path);

}  // namespace visual
