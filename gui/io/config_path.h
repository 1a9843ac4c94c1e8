#pragma once

#include <string>

namespace visual {

/// Path of visualzarvex.ini: in $XDG_CONFIG_HOME, or ~/.config, on POSIX.
std::string iniFilePath();

}  // namespace visual
