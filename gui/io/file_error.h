#pragma once

#include <string>

namespace visual {

/// What was being done with a file when it failed.
enum class FileAction { Read, Write, Delete };

/// The message for a failed file operation, in UTF-8: what failed, on which file and why in
/// Russian, and the platform's own text for the error number `number` (errno) in brackets.
std::string fileError(FileAction action, const std::string& path, int number);
/// The same with the platform's text given: `number` is the errno value nearest the error, which
/// picks the Russian reason.
std::string fileError(FileAction action, const std::string& path, int number,
                      const std::string& systemText);

}  // namespace visual
