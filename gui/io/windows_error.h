#pragma once

#include <string>

namespace visual {

/// "path: " and the system's text for the Windows error `code` (GetLastError), as UTF-8 like
/// the program's other messages.
std::string windowsError(const std::string& path, unsigned long code);

}  // namespace visual
