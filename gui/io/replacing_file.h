#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace visual {

/// A file written beside its final path and renamed over it only when complete, so that a
/// failure never leaves a half-written file under the final name.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  /// Creates the temporary file for `path`; false (with error()) on failure.
  bool open(const std::string& path);
  /// Appends bytes; a failure is kept for commit().
  void write(std::string_view bytes);
  /// Appends `text` and a line end (LF).
  void writeLine(std::string_view text);
  /// Closes and renames over the final path; false (with error()) when anything failed.
  bool commit();
  const std::string& error() const { return error_; }

 private:
  void fail();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;
  std::string error_;
};

/// Writes `content` to `path` through a ReplacingFile; false (with `error`) on failure.
bool writeWholeFile(const std::string& path, std::string_view content, std::string* error);

}  // namespace visual
