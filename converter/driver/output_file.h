#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace zarvex {

/// Where the converted map goes. A regular file, or one that does not exist yet, is written to a
/// temporary file in its folder and renamed over it by commit(), so that the previous map is
/// replaced whole or not at all: a failed write, an exception or SIGINT, SIGTERM or SIGHUP
/// leave it as it was and remove the temporary file. Standard output, devices and FIFOs are
/// written directly.
class OutputFile {
 public:
  /// Standard output, as it is.
  static std::unique_ptr<OutputFile> standardOutput();
  /// Opens the output `path`; none when it cannot be written.
  static std::unique_ptr<OutputFile> open(const std::string& path);

  /// Six letters or digits that make a temporary file's name unlikely to be taken already.
  static std::string temporarySuffix();

  /// Discards what was written unless commit() came first.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  FILE* stream() const { return stream_; }
  /// Flushes and closes the output (standard output stays open), putting a temporary file in
  /// place of the output. False when any write failed; the previous output then stays.
  bool commit();
  /// Closes the output and removes the temporary file, so that the previous output stays.
  void discard();

 private:
  OutputFile() = default;

  FILE* stream_ = nullptr;
  /// The file that a temporary file replaces, or empty when the output is written directly.
  std::string destination_;
  std::string temporary_;
  bool ownsStream_ = false;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace zarvex
