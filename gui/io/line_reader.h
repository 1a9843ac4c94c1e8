#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace visual {

/// Reads a text file line by line in large blocks; CR LF, LF and a lone CR each end a line.
class LineReader {
 public:
  /// The block in which a map, hundreds of megabytes, is read (small in fuzz builds, where
  /// clearing megabytes per input would outweigh the input, and block ends should fall inside).
#ifdef ZARVEX_FUZZ_BUILD
  static constexpr std::size_t kLargeBlock = 64;
#else
  static constexpr std::size_t kLargeBlock = std::size_t{4} << 20;
#endif

  /// Reads in blocks of `block` bytes (the buffer grows only for a longer line).
  explicit LineReader(std::size_t block = kLargeBlock) : block_(block) {}
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// Opens `path`; false (with error()) when it cannot be opened.
  bool open(const std::string& path);
  /// Fails (with the platform's text for a file too large) once more than `bytes` were read.
  void setLimit(std::uint64_t bytes) { limit_ = bytes; }
  /// The next line without its end, valid until the next call; false at the end or on an error.
  bool next(std::string_view& line);
  /// The message of the last failure, naming the file; empty when there was none.
  const std::string& error() const { return error_; }

 private:
  bool fill();
  std::size_t nextOf(char c, std::size_t& hit, std::size_t& scanned);

  std::size_t block_;
  std::uint64_t limit_ = UINT64_MAX;
  std::uint64_t read_ = 0;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  // The next CR and LF found and how far each search went, so that each byte is searched once.
  std::size_t cr_ = 0;
  std::size_t crScanned_ = 0;
  std::size_t lf_ = 0;
  std::size_t lfScanned_ = 0;
  bool eof_ = false;
  std::string path_;
  std::string error_;
};

}  // namespace visual
