#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zarvex {

/// Blocks of input in memory, handed to a tokenizer one after another.
class BlockSource {
 public:
  virtual ~BlockSource() = default;
  /// Points `begin` and `end` at the next block; false at the end of input. May throw
  /// IOException.
  virtual bool nextBlock(const unsigned char*& begin, const unsigned char*& end) = 0;
};

/// Configurable scanner over an open file, shared by the map reader and the script parser.
///
/// The caller opens and closes the file; the tokenizer reads it through a large block buffer.
class Tokenizer {
 public:
  // Class bits of a byte.
  static constexpr uint16_t ClassWhitespace = 1;
  static constexpr uint16_t ClassNumeric = 2;
  static constexpr uint16_t ClassAlpha = 4;
  static constexpr uint16_t ClassQuote = 8;
  static constexpr uint16_t ClassComment = 16;

  // Token types; a single-character token has the character's code (0 to 255) instead.
  static constexpr int32_t TokenEof = -1;
  static constexpr int32_t TokenEol = -2;
  static constexpr int32_t TokenNum = -3;
  static constexpr int32_t TokenFloat = -4;
  static constexpr int32_t TokenWord = -5;
  static constexpr int32_t TokenString = -6;
  static constexpr int32_t TokenComment = -7;

  /// A tokenizer over `input` with every flag off and every byte an ordinary character.
  explicit Tokenizer(FILE* input);
  /// A tokenizer over the blocks of `source`, which must outlive it; set up as the other one.
  explicit Tokenizer(BlockSource& source);
  ~Tokenizer();
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  /// Sets the class bits of every byte from `first` to `last`, both included.
  void setClass(int first, int last, uint16_t bits);
  void setClass(int c, uint16_t bits) { setClass(c, c, bits); }

  /// The script profile: words lowered, "//" and "/*" comments, no floats.
  void setScriptProfile();
  /// The map profile: words lowered, ';' comments, floats; comments skipped until turned on.
  void setMapProfile();

  /// Reads the next token and returns its type; the value is in intValue, floatValue or text.
  int32_t nextToken();
  /// Reads a point "(lat,lon)" when it is written without blanks, its numbers plainly (digits,
  /// an optional sign and fraction), within the block in hand; the tokenizer is then as after
  /// reading its tokens one by one. False, having read nothing, for any other text.
  bool scanPoint(double& lat, double& lon);
  /// Reads the ordinary character `c` as nextToken() would when it comes next with no blank
  /// before it; false, having read nothing, otherwise.
  bool takeChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (pushedBack || !started_ || lookahead_ != byte || charClass[byte] != 0 || byte == '/')
      return false;
    text.clear();
    tokenType = byte;
    lookahead_ = readByte();
    return true;
  }
  /// Makes the next nextToken() return the current token again.
  void pushBack() { pushedBack = true; }
  /// Reads the rest of the current line, trimmed, into text and consumes its line break.
  void readValueLine();
  /// Prints the current token as one line, as error reports show it.
  void dumpToken(FILE* out = stdout) const;

  int32_t intValue = 0;
  double floatValue = 0.0;
  std::string text;
  int32_t tokenType = 0;
  bool eolSignificant = false;
  bool slashSlashComments = false;
  bool slashStarComments = false;
  bool quoteLineBreakIsError = false;
  bool lowerCaseWords = false;
  bool pushedBack = false;
  bool parseFloats = false;
  bool returnComments = false;
  /// Keeps each word as written, before lowering, in wordSpelling (off in both profiles).
  bool keepWordSpelling = false;
  uint16_t charClass[256] = {};
  int32_t lineCount = 0;
  /// The last word token as written, while keepWordSpelling is on; kept until the next word.
  std::string wordSpelling;

 private:
  /// One byte of input as 0 to 255, or -1 at end of input; throws IOException on a read error.
  int readByte() {
    if (pos_ < end_) return *pos_++;
    return refill();
  }
  // Reads the next block and returns its first byte as readByte does.
  int refill();
  // The lookahead, or a fresh byte when nothing has been read yet.
  int firstByte();
  int32_t finish(int32_t type, int next) {
    lookahead_ = next;
    tokenType = type;
    return type;
  }
  int32_t scanNumber(int c);
  int32_t scanWord(int c);
  int32_t scanQuoted(int quote);
  // Consumes bytes up to CR, LF or end of input, appending them to text when `keep`; returns the
  // byte that stopped it (consumed) or -1.
  int scanToLineEnd(bool keep);
  // Skips a block comment after its opening "/*"; false when the input ends inside it.
  bool skipBlockComment();

  FILE* input_ = nullptr;
  BlockSource* source_ = nullptr;
  std::unique_ptr<unsigned char[]> buffer_;
  const unsigned char* pos_ = nullptr;
  const unsigned char* end_ = nullptr;
  bool atEof_ = false;
  // errno of a read error met after some bytes of the block had arrived; raised once they are used.
  int pendingErrno_ = 0;
  // The next byte not yet consumed; meaningful once started_ is set.
  int32_t lookahead_ = -1;
  // Set once the first byte has been read, kept apart from tokenType so that a token of code 0
  // does not look like "before the first token".
  bool started_ = false;
};

}  // namespace zarvex
