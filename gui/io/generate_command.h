#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace visual {

/// `visualzarvex --generate WORK.set [--types DIR] [--zarvex PATH]`: Load, then Generate with the
/// default file names, the run box unchecked and existing files overwritten. Prints the paths it
/// wrote (and to `err` the page "Header"'s note on how the converter reads the map, if any) and
/// returns 0, or prints the message it would have shown and returns 1.
/// `args` are the arguments after the program name.
int runGenerateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace visual
