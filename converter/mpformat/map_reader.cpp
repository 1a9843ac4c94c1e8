#include "converter/mpformat/map_reader.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <utility>

#include "converter/tokenizer/errors.h"

namespace zarvex {

MapReader::MapReader(Tokenizer& tokenizer, std::string fileName, ReadOptions options)
    : tokenizer_(tokenizer),
      fileName_(std::make_shared<const std::string>(std::move(fileName))),
      options_(options) {
  tokenizer_.setMapProfile();
  // What lenient reading skips or keeps is named as the map spells it.
  tokenizer_.keepWordSpelling = options_.lenient;
}

void MapReader::fail(const char* message) const {
  throw ParserException(message, tokenizer_.lineCount);
}

void MapReader::fail(const std::string& message) const {
  throw ParserException(message, tokenizer_.lineCount);
}

void MapReader::expectChar(char c, const char* message) {
  if (tokenizer_.nextToken() != static_cast<unsigned char>(c)) fail(message);
}

void MapReader::expectWord(const char* word, const char* message) {
  if (tokenizer_.nextToken() != Tokenizer::TokenWord || tokenizer_.text != word) fail(message);
}

TriState MapReader::parseBoolText(const std::string& text) const {
  if (text == "T" || text == "Y" || text == "y") return TriState::True;
  if (text == "F" || text == "N" || text == "n") return TriState::False;
  fail("Unknown boolean value");
}

TriState MapReader::readBoolToken() {
  const int32_t token = tokenizer_.nextToken();
  if (token == Tokenizer::TokenNum)
    return tokenizer_.intValue != 0 ? TriState::True : TriState::False;
  if (token == Tokenizer::TokenWord) return parseBoolText(tokenizer_.text);
  fail("Boolean expected");
}

int32_t MapReader::readIntToken() {
  if (tokenizer_.nextToken() != Tokenizer::TokenNum) fail("Number expected");
  return tokenizer_.intValue;
}

double MapReader::readNumberToken() {
  const int32_t token = tokenizer_.nextToken();
  if (token == Tokenizer::TokenFloat) return tokenizer_.floatValue;
  if (token == Tokenizer::TokenNum) return tokenizer_.intValue;
  fail("Number expected");
}

int32_t MapReader::parseIntText(const std::string& text) const {
  if (text.empty()) return 0;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, 10);
  // A value that does not fit 32 bits is refused rather than wrapped into another number.
  if (end != begin + text.size() || errno == ERANGE ||
      value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    fail("Invalid number");
  return static_cast<int32_t>(value);
}

float MapReader::parseFloatText(const std::string& text) const {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end != begin + text.size()) fail("Invalid float number");
  return static_cast<float>(value);
}

}  // namespace zarvex
