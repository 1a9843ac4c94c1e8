#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "converter/mpformat/map_reader.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex::maptest {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

/// A temporary file holding `text`, positioned at its start.
inline FilePtr textFile(std::string_view text) {
  FilePtr file(std::tmpfile());
  std::fwrite(text.data(), 1, text.size(), file.get());
  std::rewind(file.get());
  return file;
}

/// Everything written to `file` so far.
inline std::string contents(FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  char block[4096];
  for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, n);
  return text;
}

/// A reader over map text, as the run over a map file sets it up.
class MapSource {
 public:
  explicit MapSource(std::string_view text, std::string fileName = "test.mp",
                     ReadOptions options = {})
      : file_(textFile(text)),
        tokenizer_(file_.get()),
        reader_(tokenizer_, std::move(fileName), options) {}
  explicit MapSource(FilePtr file, std::string fileName, ReadOptions options = {})
      : file_(std::move(file)),
        tokenizer_(file_.get()),
        reader_(tokenizer_, std::move(fileName), options) {}

  /// Reads the header, then every object.
  void readAll() {
    reader_.ReadHeader();
    tokenizer_.returnComments = true;
    while (reader_.ReadObject()) {
    }
  }

  MapReader& reader() { return reader_; }
  Tokenizer& tokenizer() { return tokenizer_; }

 private:
  FilePtr file_;
  Tokenizer tokenizer_;
  MapReader reader_;
};

inline constexpr ReadOptions kLenient{.lenient = true};

/// A minimal header; the first object section starts on line 3.
inline constexpr std::string_view kHeader = "[IMG ID]\nID=1\n[END-IMG ID]\n";

/// The entries of a report as "item name count@line", joined by "; ", for comparing in tests.
inline std::string describe(const LenientReport& report) {
  static constexpr const char* kItems[] = {"header-key", "header-value", "section", "comment",
                                           "object-key", "levels",       "end"};
  std::string text;
  for (const LenientReport::Entry& e : report.entries()) {
    if (!text.empty()) text += "; ";
    text += kItems[static_cast<int>(e.item)];
    if (!e.name.empty()) text += " " + e.name;
    text += " " + std::to_string(e.count) + "@" + std::to_string(e.firstLine);
  }
  return text;
}

}  // namespace zarvex::maptest
