#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace visual {

/// A file written beside its final path and renamed over it only when complete, so that a
/// failure never leaves a half-written file under the final name nor touches the old one.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  /// Removes the temporary file unless it was committed.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  /// Creates the temporary file for `path`; false (with error()) on failure.
  bool open(const std::string& path);
  /// Appends bytes; a failure is kept for finish() and commit().
  void write(std::string_view bytes);
  /// Appends `text` and a line end (LF; CR LF on Windows, where the file is a text-mode stream).
  void writeLine(std::string_view text);
  /// Writes out and closes the temporary file, which stays until commit() or destruction;
  /// false (with error()) when anything failed so far.
  bool finish();
  /// Finishes and renames over the final path; false (with error()) when anything failed.
  bool commit();
  /// The final path and the platform's text of the first failure, empty when there was none.
  const std::string& error() const { return error_; }

 private:
  void fail();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;
  std::string error_;
  bool pending_ = false;  // the temporary file exists and is not yet renamed
};

}  // namespace visual
