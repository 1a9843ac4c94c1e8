#pragma once

#include <string>

#include "gui/io/file_error.h"

namespace visual {

/// fileError for a Windows call that failed with `code` (GetLastError): the Russian reason as for
/// the nearest C library error, the system's own text in brackets.
std::string windowsFileError(FileAction action, const std::string& path, unsigned long code);

}  // namespace visual
