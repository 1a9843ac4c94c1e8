#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace visual {

/// `visualzarvex --generate WORK.set [--types DIR] [--zarvex PATH] [--run]`: Load, then Generate
/// with the default file names and existing files overwritten. Prints the paths it wrote and
/// returns 0 (and to `err` the page "Header"'s note on how the converter reads the map, if
/// any), or prints the message it would have shown and returns 1. With --run the converter
/// then runs as the window starts it, but in this command's streams, and its exit code (0, 1 or
/// 2) is returned. `args` are the arguments after the program name.
int runGenerateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace visual
