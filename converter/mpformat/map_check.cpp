#include "converter/mpformat/map_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "converter/mpformat/map_reader.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {
namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// Reads the whole map as the converter does; true when it reads, else `error` says where it
// stopped.
bool readsWhole(FILE* file, const std::string& path, bool lenient, MapReadError& error,
                LenientReport* report) {
  std::rewind(file);
  Tokenizer tokenizer(file);
  MapReader reader(tokenizer, path, ReadOptions{.lenient = lenient, .keepObjects = false});
  bool whole = false;
  try {
    reader.ReadHeader();
    tokenizer.returnComments = true;
    while (reader.ReadObject()) {
    }
    whole = true;
  } catch (const ParserException& e) {
    error = {e.message, e.line};
  } catch (const IOException& e) {
    error = {e.message, -1};
  } catch (const TokenizerException& e) {
    error = {e.message, -1};
  }
  if (report != nullptr) *report = reader.lenientReport();
  return whole;
}

}  // namespace

MapReadCheck checkMapFile(const std::string& path) {
  MapReadCheck check;
  // Opened as the converter opens it, so that both read the same bytes.
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
  if (!file) {
    check.readability = MapReadability::Unreadable;
    check.strictError = check.error = {std::strerror(errno), -1};
    return check;
  }
  if (readsWhole(file.get(), path, false, check.strictError, nullptr)) return check;
  check.readability = MapReadability::Unreadable;
  // A file that cannot be read fails leniently too.
  if (check.strictError.line < 0) {
    check.error = check.strictError;
    return check;
  }
  check.readability = readsWhole(file.get(), path, true, check.error, &check.report)
                          ? MapReadability::Lenient
                          : MapReadability::Unreadable;
  return check;
}

}  // namespace zarvex
