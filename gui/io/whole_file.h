#pragma once

#include <string>

namespace visual {

/// What reading a whole file gave.
enum class ReadResult { Read, Missing, Failed };

/// Reads the regular file at `path` into `data`. Missing when nothing has that name; Failed (with
/// `error`, naming the file) for a folder, a device, a file above kMaxTextFileBytes or a read
/// error.
ReadResult readWholeFile(const std::string& path, std::string* data, std::string* error);

/// Makes `text` the content of the file at `path`: it is written to a temporary file beside it
/// and renamed over it only when complete, so that a failure leaves the old file as it was, and
/// the old file's permissions stay. Each LF is written as the platform's line end (CR LF on
/// Windows). False (with `error`, naming the file) on failure.
bool replaceWholeFile(const std::string& path, const std::string& text, std::string* error);

}  // namespace visual
