#include "converter/driver/chunk_parser.h"

#include <utility>

namespace zarvex {

namespace {

class OneBlock final : public BlockSource {
 public:
  explicit OneBlock(const std::string& bytes) : bytes_(bytes) {}
  bool nextBlock(const unsigned char*& begin, const unsigned char*& end) override {
    if (given_) return false;
    given_ = true;
    begin = reinterpret_cast<const unsigned char*>(bytes_.data());
    end = begin + bytes_.size();
    return true;
  }

 private:
  const std::string& bytes_;
  bool given_ = false;
};

}  // namespace

ParsedChunk parseChunk(std::string bytes, bool first, const std::string& fileName, bool lenient) {
  ParsedChunk chunk;
  chunk.bytes = std::move(bytes);
  chunk.first = first;
  // On the heap: an error hands the tokenizer over with its current token.
  auto source = std::make_unique<OneBlock>(chunk.bytes);
  auto tokenizer = std::make_unique<Tokenizer>(*source);
  MapReader reader(*tokenizer, fileName, ReadOptions{.lenient = lenient});
  try {
    if (first) reader.ReadHeader();
    tokenizer->returnComments = true;
    while (reader.ReadObject()) {
    }
  } catch (const ParserException& e) {
    chunk.error = e;
    chunk.errorAtEnd = tokenizer->tokenType == Tokenizer::TokenEof;
    chunk.errorTokenizer = std::move(tokenizer);
  }
  chunk.objects = std::move(reader.objects());
  chunk.report = reader.lenientReport();
  chunk.lineCount = chunk.errorTokenizer ? chunk.errorTokenizer->lineCount : tokenizer->lineCount;
  return chunk;
}

}  // namespace zarvex
