#pragma once

#include <string>

namespace visual {

/// What was being done with a file when it failed.
enum class FileAction { Read, Write, Delete };

/// The message for a failed file operation, in UTF-8: what failed, on which file and why in
/// Russian, and the platform's own text for the error number `number` in brackets.
std::string fileError(FileAction action, const std::string& path, int number);

}  // namespace visual
