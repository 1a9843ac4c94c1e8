#include "converter/tokenizer/tokenizer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "converter/tokenizer/errors.h"

namespace zarvex {

namespace {

// Fuzz builds read in small blocks: a megabyte per tokenizer under the sanitizers costs more
// than the input itself, and small blocks put block boundaries inside short inputs.
#ifdef ZARVEX_FUZZ_BUILD
constexpr size_t kBlockSize = 64;
#else
constexpr size_t kBlockSize = size_t{1} << 20;
#endif

bool isDigit(int c) {
  return c >= '0' && c <= '9';
}
bool isOctal(int c) {
  return c >= '0' && c <= '7';
}

int hexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char escapedByte(int d) {
  switch (d) {
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 'f':
      return 12;
    case 'n':
      return 10;
    case 'r':
      return 13;
    case 't':
      return 9;
    case 'v':
      return 11;
    default:
      return static_cast<char>(d);
  }
}

// The scales of successive fraction digits, obtained by the same chain of divisions by 10 that a
// digit-by-digit loop would perform, so the sums are bit-identical; the last entry is 0, which
// every further digit keeps. Computed by the compiler, which rounds as the processor does.
struct FractionScales {
  constexpr FractionScales() {
    double scale = 0.1;
    while (scale != 0.0 && count < values.size() - 1) {
      values[count++] = scale;
      scale = scale / 10;
    }
    values[count] = 0.0;
  }
  std::array<double, 400> values{};
  size_t count = 0;
};

constexpr FractionScales kFractionScales;

// Fraction digits that scanPlainNumber reads; each term, digit times scale, is looked up.
constexpr size_t kPlainFractionDigits = 24;

struct FractionTerms {
  constexpr FractionTerms() {
    for (size_t i = 0; i < kPlainFractionDigits; ++i)
      for (int d = 0; d < 10; ++d) values[i][d] = d * kFractionScales.values[i];
  }
  double values[kPlainFractionDigits][10]{};
};

constexpr FractionTerms kFractionTerms;

// The sums of the first three terms, added in order as the loop adds them: most fractions have
// at least three digits, and the additions, each waiting for the one before, are what it costs.
struct FractionHeads {
  constexpr FractionHeads() {
    for (int i = 0; i < 1000; ++i) {
      values[i] = 0.0 + kFractionTerms.values[0][i / 100];
      values[i] = values[i] + kFractionTerms.values[1][i / 10 % 10];
      values[i] = values[i] + kFractionTerms.values[2][i % 10];
    }
  }
  double values[1000]{};
};

constexpr FractionHeads kFractionHeads;

// A number as scanNumber reads it.
struct PlainNumber {
  bool isFloat = false;
  int32_t intValue = 0;
  double floatValue = 0.0;
  double value() const { return isFloat ? floatValue : intValue; }
};

// Reads a number that starts at `p` and ends before `end`, with scanNumber's arithmetic; the
// byte after it, or null for what scanNumber alone reads (a lone sign, hex, a long fraction, the
// block's end).
inline const unsigned char* scanPlainNumber(const unsigned char* p, const unsigned char* end,
                                            PlainNumber& number) {
  bool negative = false;
  if (*p == '-') {
    ++p;
    if (p == end || !isDigit(*p)) return nullptr;
    negative = true;
  } else if (*p == '0' && (p + 1 == end || p[1] == 'x')) {
    return nullptr;
  }
  uint32_t value = 0;
  for (; p < end && isDigit(*p); ++p) value = value * 10 + static_cast<uint32_t>(*p - '0');
  if (p == end) return nullptr;
  if (*p != '.') {
    number.isFloat = false;
    number.intValue = static_cast<int32_t>(negative ? 0u - value : value);
    return p;
  }
  const unsigned char* digits = ++p;
  while (p < end && isDigit(*p)) ++p;
  if (p == end || static_cast<size_t>(p - digits) > kPlainFractionDigits) return nullptr;
  double fraction = 0.0;
  size_t i = 0;
  if (p - digits >= 3) {
    fraction =
        kFractionHeads.values[(digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0')];
    i = 3;
  }
  for (; digits + i < p; ++i) fraction = fraction + kFractionTerms.values[i][digits[i] - '0'];
  const double whole = static_cast<double>(static_cast<int32_t>(value)) + fraction;
  number.isFloat = true;
  number.floatValue = negative ? -whole : whole;
  return p;
}

}  // namespace

Tokenizer::Tokenizer(FILE* input)
    : input_(input), buffer_(std::make_unique_for_overwrite<unsigned char[]>(kBlockSize)) {}

Tokenizer::Tokenizer(BlockSource& source) : source_(&source) {}

Tokenizer::~Tokenizer() = default;

void Tokenizer::setClass(int first, int last, uint16_t bits) {
  if (first < 0) first = 0;
  if (last > 255) last = 255;
  for (int c = first; c <= last; ++c) charClass[c] = bits;
}

void Tokenizer::setScriptProfile() {
  std::fill(std::begin(charClass), std::end(charClass), uint16_t{0});
  setClass('"', ClassQuote);
  setClass('a', 'z', ClassAlpha);
  setClass('A', 'Z', ClassAlpha);
  setClass('_', ClassAlpha);
  setClass('0', '9', ClassNumeric);
  setClass('-', ClassNumeric);
  setClass(' ', ClassWhitespace);
  setClass('\n', ClassWhitespace);
  setClass('\r', ClassWhitespace);
  setClass('\t', ClassWhitespace);
  lowerCaseWords = true;
  slashSlashComments = true;
  slashStarComments = true;
  parseFloats = false;
  returnComments = false;
  keepWordSpelling = false;
  eolSignificant = false;
  quoteLineBreakIsError = false;
}

void Tokenizer::setMapProfile() {
  setScriptProfile();
  setClass(';', ClassComment);
  slashSlashComments = false;
  slashStarComments = false;
  parseFloats = true;
}

int Tokenizer::refill() {
  if (pendingErrno_ != 0) throw IOException(std::strerror(pendingErrno_));
  if (atEof_) return -1;
  if (source_ != nullptr) {
    // Empty blocks are passed over, so that only the end of input reads as -1.
    do {
      if (!source_->nextBlock(pos_, end_)) {
        atEof_ = true;
        pos_ = end_ = nullptr;
        return -1;
      }
    } while (pos_ == end_);
    return *pos_++;
  }
  const size_t n = std::fread(buffer_.get(), 1, kBlockSize, input_);
  if (n < kBlockSize) {
    if (std::ferror(input_)) {
      // Bytes read before the failure are still delivered; the error surfaces once they are used,
      // and again on every later read.
      pendingErrno_ = errno != 0 ? errno : EIO;
      if (n == 0) throw IOException(std::strerror(pendingErrno_));
    } else {
      // Not asking the stream again after its end keeps a terminal from waiting for more input.
      atEof_ = true;
    }
  }
  pos_ = buffer_.get();
  end_ = pos_ + n;
  if (n == 0) return -1;
  return *pos_++;
}

int Tokenizer::firstByte() {
  if (started_) return lookahead_;
  started_ = true;
  return readByte();
}

int32_t Tokenizer::nextToken() {
  if (pushedBack) {
    pushedBack = false;
    return tokenType;
  }
  int c = firstByte();
  for (;;) {
    text.clear();
    while (c >= 0 && (charClass[c] & ClassWhitespace) != 0) {
      if (c == '\r') {
        ++lineCount;
        c = readByte();
        if (c == '\n') c = readByte();
        if (eolSignificant) return finish(TokenEol, c);
      } else if (c == '\n') {
        ++lineCount;
        c = readByte();
        if (eolSignificant) return finish(TokenEol, c);
      } else {
        c = readByte();
      }
    }
    if (c < 0) return finish(TokenEof, -1);

    const uint16_t bits = charClass[c];
    if ((bits & ClassNumeric) != 0) return scanNumber(c);
    if ((bits & ClassAlpha) != 0) return scanWord(c);
    if ((bits & ClassComment) != 0) {
      c = scanToLineEnd(returnComments);
      if (returnComments) return finish(TokenComment, c);
      continue;
    }
    if ((bits & ClassQuote) != 0) return scanQuoted(c);
    if (c == '/' && (slashSlashComments || slashStarComments)) {
      const int d = readByte();
      if (d == '*' && slashStarComments) {
        if (!skipBlockComment()) return finish(TokenEof, -1);
        c = readByte();
        continue;
      }
      if (d == '/' && slashSlashComments) {
        c = scanToLineEnd(false);
        continue;
      }
      return finish('/', d);
    }
    return finish(c, readByte());
  }
}

int32_t Tokenizer::scanNumber(int c) {
  bool negative = false;
  if (c == '-') {
    c = readByte();
    if (!isDigit(c)) return finish('-', c);
    negative = true;
  } else if (c == '0') {
    c = readByte();
    if (c == 'x') {
      uint32_t value = 0;
      for (c = readByte(); hexValue(c) >= 0; c = readByte()) {
        value = value * 16 + static_cast<uint32_t>(hexValue(c));
      }
      intValue = static_cast<int32_t>(value);
      return finish(TokenNum, c);
    }
  }

  // Unsigned arithmetic gives the 32-bit wrap-around without undefined behaviour.
  uint32_t value = 0;
  while (isDigit(c)) {
    value = value * 10 + static_cast<uint32_t>(c - '0');
    // Digits still in the block are taken through a local pointer that stays in a register.
    const unsigned char* p = pos_;
    for (; p < end_ && isDigit(*p); ++p) value = value * 10 + static_cast<uint32_t>(*p - '0');
    pos_ = p;
    c = readByte();
  }

  if (parseFloats && c == '.') {
    const FractionScales& scales = kFractionScales;
    size_t index = 0;
    double fraction = 0.0;
    c = readByte();
    while (isDigit(c)) {
      fraction = fraction + (c - '0') * scales.values[index];
      index += index < scales.count ? 1 : 0;
      const unsigned char* p = pos_;
      for (; p < end_ && isDigit(*p); ++p) {
        fraction = fraction + (*p - '0') * scales.values[index];
        index += index < scales.count ? 1 : 0;
      }
      pos_ = p;
      c = readByte();
    }
    const double whole = static_cast<double>(static_cast<int32_t>(value)) + fraction;
    floatValue = negative ? -whole : whole;
    return finish(TokenFloat, c);
  }

  intValue = static_cast<int32_t>(negative ? 0u - value : value);
  return finish(TokenNum, c);
}

bool Tokenizer::scanPoint(double& lat, double& lon) {
  // The '(' is the lookahead, so pos_ stands on the first byte of the latitude.
  if (pushedBack || !started_ || lookahead_ != '(' || !parseFloats || charClass['('] != 0 ||
      charClass[','] != 0 || charClass[')'] != 0)
    return false;
  PlainNumber first;
  PlainNumber second;
  const unsigned char* p = pos_;
  if (p == end_ || charClass[*p] != ClassNumeric) return false;
  p = scanPlainNumber(p, end_, first);
  if (p == nullptr || *p != ',') return false;
  ++p;
  if (p == end_ || charClass[*p] != ClassNumeric) return false;
  p = scanPlainNumber(p, end_, second);
  if (p == nullptr || *p != ')') return false;
  pos_ = p + 1;
  // What the token-by-token reading leaves: each number set its own value, the ')' is current.
  if (first.isFloat)
    floatValue = first.floatValue;
  else
    intValue = first.intValue;
  if (second.isFloat)
    floatValue = second.floatValue;
  else
    intValue = second.intValue;
  text.clear();
  tokenType = ')';
  lookahead_ = readByte();
  lat = first.value();
  lon = second.value();
  return true;
}

int32_t Tokenizer::scanWord(int c) {
  constexpr uint16_t wordBits = ClassAlpha | ClassNumeric;
  text.push_back(static_cast<char>(c));
  for (;;) {
    const unsigned char* p = pos_;
    while (p < end_ && (charClass[*p] & wordBits) != 0) ++p;
    text.append(reinterpret_cast<const char*>(pos_), static_cast<size_t>(p - pos_));
    pos_ = p;
    if (p < end_) {
      c = *pos_++;
      break;
    }
    c = refill();
    if (c < 0 || (charClass[c] & wordBits) == 0) break;
    text.push_back(static_cast<char>(c));
  }
  if (keepWordSpelling) wordSpelling = text;
  if (lowerCaseWords) {
    for (char& ch : text) {
      // ASCII letters are lowered by hand: the keys are ASCII whatever the locale (a Turkish one
      // lowers 'I' to a dotless i), and a call per letter costs more than the rest of the word.
      const auto byte = static_cast<unsigned char>(ch);
      if (byte >= 'A' && byte <= 'Z')
        ch = static_cast<char>(byte - 'A' + 'a');
      else if (byte >= 0x80)
        ch = static_cast<char>(std::tolower(byte));
    }
  }
  return finish(TokenWord, c);
}

int Tokenizer::scanToLineEnd(bool keep) {
  for (;;) {
    const unsigned char* p = pos_;
    while (p < end_ && *p != '\r' && *p != '\n') ++p;
    if (keep) text.append(reinterpret_cast<const char*>(pos_), static_cast<size_t>(p - pos_));
    if (p < end_) {
      pos_ = p + 1;
      return *p;
    }
    pos_ = p;
    const int c = refill();
    if (c < 0 || c == '\r' || c == '\n') return c;
    if (keep) text.push_back(static_cast<char>(c));
  }
}

int32_t Tokenizer::scanQuoted(int quote) {
  int c = readByte();
  while (c >= 0 && c != quote && c != '\r' && c != '\n') {
    if (c != '\\') {
      text.push_back(static_cast<char>(c));
      c = readByte();
      continue;
    }
    const int d = readByte();
    if (d < 0) {
      // A trailing backslash has nothing to escape: the string simply ends with the input.
      c = d;
      break;
    }
    if (isOctal(d)) {
      int value = d - '0';
      c = readByte();
      if (isOctal(c)) {
        value = value * 8 + (c - '0');
        c = readByte();
        if (d <= '3' && isOctal(c)) {
          value = value * 8 + (c - '0');
          c = readByte();
        }
      }
      text.push_back(static_cast<char>(value));
      continue;
    }
    text.push_back(escapedByte(d));
    c = readByte();
  }
  if ((c == '\r' || c == '\n') && quoteLineBreakIsError) {
    lookahead_ = c;
    throw TokenizerException("CR or LF not allowed in quote.");
  }
  if (c == quote) c = readByte();
  return finish(TokenString, c);
}

bool Tokenizer::skipBlockComment() {
  int c = readByte();
  for (;;) {
    if (c < 0) return false;
    if (c == '*') {
      c = readByte();
      if (c == '/') return true;
    } else if (c == '\r') {
      ++lineCount;
      c = readByte();
      if (c == '\n') c = readByte();
    } else {
      if (c == '\n') ++lineCount;
      c = readByte();
    }
  }
}

void Tokenizer::readValueLine() {
  text.clear();
  int c = firstByte();
  while (c >= 0 && c != '\r' && c != '\n' && (charClass[c] & ClassWhitespace) != 0) {
    c = readByte();
  }
  if (c >= 0 && c != '\r' && c != '\n') {
    text.push_back(static_cast<char>(c));
    c = scanToLineEnd(true);
  }
  if (c == '\r' || c == '\n') {
    ++lineCount;
    const int pair = c == '\r' ? '\n' : '\r';
    c = readByte();
    if (c == pair) c = readByte();
  }
  lookahead_ = c;

  size_t length = text.size();
  while (length > 0 &&
         (charClass[static_cast<unsigned char>(text[length - 1])] & ClassWhitespace) != 0) {
    --length;
  }
  text.resize(length);
}

void Tokenizer::dumpToken(FILE* out) const {
  const long line = static_cast<long>(lineCount) + 1;
  switch (tokenType) {
    case TokenEof:
      std::fprintf(out, "eof\n");
      break;
    case TokenEol:
      std::fprintf(out, "eol\n");
      break;
    case TokenNum:
      std::fprintf(out, "%ld: num: %d\n", line, intValue);
      break;
    case TokenFloat:
      std::fprintf(out, "%ld: float: %f\n", line, floatValue);
      break;
    case TokenWord:
      std::fprintf(out, "%ld: word: %s\n", line, text.c_str());
      break;
    case TokenString:
      std::fprintf(out, "%ld: string: %s\n", line, text.c_str());
      break;
    case TokenComment:
      std::fprintf(out, "%ld: comment: %s\n", line, text.c_str());
      break;
    default:
      std::fprintf(out, "%ld: char: %c\n", line, tokenType);
      break;
  }
}

}  // namespace zarvex
