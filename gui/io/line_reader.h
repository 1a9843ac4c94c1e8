#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace visual {

/// Reads a text file line by line in large blocks; CR LF, LF and a lone CR each end a line.
class LineReader {
 public:
  LineReader() = default;
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// Opens `path`; false (with error()) when it cannot be opened.
  bool open(const std::string& path);
  /// The next line without its end, valid until the next call; false at the end or on an error.
  bool next(std::string_view& line);
  /// The platform's text of the last failure, empty when there was none.
  const std::string& error() const { return error_; }

 private:
  bool fill();
  std::size_t nextOf(char c, std::size_t& hit, std::size_t& scanned);

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
  std::string error_;
};

}  // namespace visual
