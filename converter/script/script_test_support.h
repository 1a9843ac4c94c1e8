#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/config_parser.h"
#include "converter/script/object_conf.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex::scripttest {

/// An open temporary file holding `text`, positioned at its start; closed on destruction.
class ScriptFile {
 public:
  explicit ScriptFile(const std::string& text) : file_(std::tmpfile()) {
    if (!file_) throw std::runtime_error("tmpfile failed");
    std::fwrite(text.data(), 1, text.size(), file_);
    std::rewind(file_);
  }
  ~ScriptFile() { std::fclose(file_); }
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;
  FILE* get() const { return file_; }

 private:
  FILE* file_;
};

/// Parses `text` with `Parser` (a ConfigParserImpl or a derived parser) and returns the entry list.
template <typename Parser = ConfigParserImpl>
std::unique_ptr<ObjectConfImpl> parseScript(const std::string& text) {
  ScriptFile file(text);
  Tokenizer tokenizer(file.get());
  tokenizer.setScriptProfile();
  std::unique_ptr<ObjectConfImpl> entries;
  Parser parser(tokenizer, entries);
  while (parser.parseFileStatement()) {
  }
  return entries;
}

/// The error that parsing `text` raises, or none.
struct ScriptError {
  std::string message;
  int32_t line;
};
inline std::optional<ScriptError> scriptError(const std::string& text) {
  try {
    parseScript(text);
  } catch (const ParserException& e) {
    return ScriptError{e.message, e.line};
  }
  return std::nullopt;
}

/// Runs the first entry's block on `object` as the pipeline does: reset, fill, execute.
inline void applyEntry(const ObjectConfImpl& entry, const MapObject& object,
                       ObjectAttributes& attributes) {
  attributes.reset();
  entry.initAttributes(object, attributes);
  entry.block.execute(object, attributes);
}

/// The attributes after running the single-file `script` on `object` in a fresh run.
inline ObjectAttributes runScript(const std::string& script, const MapObject& object) {
  const auto entries = parseScript(script);
  if (!entries) throw std::runtime_error("script has no file statement");
  ObjectAttributes attributes;
  applyEntry(*entries, object, attributes);
  return attributes;
}

/// `statements` wrapped in one file statement.
inline std::string inFile(const std::string& statements) {
  return "file \"m.mp\" {\n" + statements + "\n}\n";
}

}  // namespace zarvex::scripttest
