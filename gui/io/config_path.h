#pragma once

#include <string>

namespace visual {

/// Path of visualzarvex.ini: in $XDG_CONFIG_HOME, or ~/.config, on POSIX; in the user's
/// application-data folder (%APPDATA%) on Windows, where a bare name would mean the Windows
/// folder, which users may not write. The folder is created when missing.
std::string iniFilePath();

}  // namespace visual
