#include "converter/tokenizer/tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "converter/tokenizer/errors.h"

namespace zarvex {
namespace {

using T = Tokenizer;
constexpr size_t kBlock = size_t{1} << 20;

enum class Profile { Script, Map, MapComments };

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// A stream over a copy of `data`, NUL bytes included.
class Input {
 public:
  explicit Input(const std::string& data) : file_(std::tmpfile()) {
    if (!file_) throw std::runtime_error(std::strerror(errno));
    std::fwrite(data.data(), 1, data.size(), file_.get());
    std::rewind(file_.get());
  }
  FILE* get() const { return file_.get(); }

 private:
  FilePtr file_;
};

void applyProfile(Tokenizer& t, Profile profile) {
  if (profile == Profile::Script) {
    t.setScriptProfile();
  } else {
    t.setMapProfile();
    t.returnComments = profile == Profile::MapComments;
  }
}

struct Tok {
  int32_t type;
  std::string text;
  int32_t intValue = 0;
  double floatValue = 0.0;
  int32_t line = 0;
};

Tok word(std::string s, int32_t line = 0) {
  return {T::TokenWord, std::move(s), 0, 0.0, line};
}
Tok str(std::string s, int32_t line = 0) {
  return {T::TokenString, std::move(s), 0, 0.0, line};
}
Tok comment(std::string s, int32_t line = 0) {
  return {T::TokenComment, std::move(s), 0, 0.0, line};
}
Tok num(int32_t v, int32_t line = 0) {
  return {T::TokenNum, "", v, 0.0, line};
}
Tok flt(double v, int32_t line = 0) {
  return {T::TokenFloat, "", 0, v, line};
}
Tok ch(int c, int32_t line = 0) {
  return {c, "", 0, 0.0, line};
}
Tok eol(int32_t line) {
  return {T::TokenEol, "", 0, 0.0, line};
}
Tok eof(int32_t line = 0) {
  return {T::TokenEof, "", 0, 0.0, line};
}

Tok current(const Tokenizer& t) {
  Tok tok{t.tokenType, "", 0, 0.0, t.lineCount};
  if (t.tokenType == T::TokenNum) tok.intValue = t.intValue;
  if (t.tokenType == T::TokenFloat) tok.floatValue = t.floatValue;
  if (t.tokenType == T::TokenWord || t.tokenType == T::TokenString ||
      t.tokenType == T::TokenComment) {
    tok.text = t.text;
  }
  return tok;
}

std::string describe(const Tok& t) {
  return "type=" + std::to_string(t.type) + " text='" + t.text +
         "' int=" + std::to_string(t.intValue) + " float=" + std::to_string(t.floatValue) +
         " line=" + std::to_string(t.line);
}

bool operator==(const Tok& a, const Tok& b) {
  return a.type == b.type && a.text == b.text && a.intValue == b.intValue &&
         a.floatValue == b.floatValue && a.line == b.line;
}

// Tokens up to and including the first TokenEof.
std::vector<Tok> tokenize(const std::string& input, Profile profile, bool eolSignificant = false) {
  Input in(input);
  Tokenizer t(in.get());
  applyProfile(t, profile);
  t.eolSignificant = eolSignificant;
  std::vector<Tok> out;
  for (size_t guard = 0; guard < 100000; ++guard) {
    t.nextToken();
    out.push_back(current(t));
    if (t.tokenType == T::TokenEof) break;
  }
  return out;
}

void expectTokens(const std::vector<Tok>& expected, const std::vector<Tok>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i], actual[i]) << "token " << i << ": expected " << describe(expected[i])
                                      << ", got " << describe(actual[i]);
  }
}

struct Case {
  const char* name;
  Profile profile;
  std::string input;
  std::vector<Tok> expected;
  bool eolSignificant = false;
};

void runCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectTokens(c.expected, tokenize(c.input, c.profile, c.eolSignificant));
  }
}

// The fraction as a digit-by-digit loop computes it, the reference for the scale table.
double referenceFloat(int32_t whole, const std::string& digits, bool negative) {
  double fraction = 0.0;
  double scale = 0.1;
  for (char d : digits) {
    fraction = fraction + (d - '0') * scale;
    scale = scale / 10;
  }
  const double v = static_cast<double>(whole) + fraction;
  return negative ? -v : v;
}

TEST(TokenizerTest, Numbers) {
  using P = Profile;
  runCases({
      {"script assignment",
       P::Script,
       "Layer_Max=3;",
       {word("layer_max"), ch('='), num(3), ch(';'), eof()}},
      {"map coordinates",
       P::Map,
       "(55.75,37.6)",
       {ch('('), flt(55.75), ch(','), flt(37.6), ch(')'), eof()}},
      {"negative float", P::Map, "-0.5", {flt(-0.5), eof()}},
      {"leading dot", P::Map, ".5", {ch('.'), num(5), eof()}},
      {"dot without digits", P::Map, "7.,", {flt(7.0), ch(','), eof()}},
      {"floats off", P::Script, "1.5", {num(1), ch('.'), num(5), eof()}},
      {"zero dot in script", P::Script, "0.5", {num(0), ch('.'), num(5), eof()}},
      {"hex", P::Script, "0x1F", {num(31), eof()}},
      {"hex lower digits", P::Script, "0xff)", {num(255), ch(')'), eof()}},
      {"upper X is no hex", P::Script, "0X1F", {num(0), word("x1f"), eof()}},
      {"hex without digits", P::Script, "0x;", {num(0), ch(';'), eof()}},
      {"hex wraps", P::Script, "0xffffffff 0x100000001", {num(-1), num(1), eof()}},
      {"hex float", P::Map, "0x1.5", {num(1), ch('.'), num(5), eof()}},
      {"leading zero dropped", P::Script, "012", {num(12), eof()}},
      {"lone zero", P::Script, "0", {num(0), eof()}},
      {"double zero then x", P::Script, "00x5", {num(0), word("x5"), eof()}},
      {"decimal wraps", P::Script, "2147483648 4294967297", {num(INT32_MIN), num(1), eof()}},
      {"most negative", P::Script, "-2147483648", {num(INT32_MIN), eof()}},
      {"minus minus", P::Script, "--5", {ch('-'), num(-5), eof()}},
      {"negative hex is no hex", P::Script, "-0x10", {num(0), word("x10"), eof()}},
      {"lone minus", P::Script, "- -a", {ch('-'), ch('-'), word("a"), eof()}},
      {"minus at end", P::Script, "-", {ch('-'), eof()}},
      {"subtraction is a negative number", P::Script, "5-3", {num(5), num(-3), eof()}},
      {"spaced minus", P::Script, "a - b", {word("a"), ch('-'), word("b"), eof()}},
      {"minus dot", P::Map, "-.5", {ch('-'), ch('.'), num(5), eof()}},
      {"float wraps its whole part", P::Map, "4294967297.25", {flt(1.25), eof()}},
  });
}

TEST(TokenizerTest, FloatsMatchDigitByDigitSums) {
  const std::vector<std::string> fractions = {
      "1",
      "123456",
      "6543210",
      "999999999999999999",
      "0000001",
      "30000000000000000004",
      std::string(330, '7'),
      std::string(500, '9'),
  };
  for (const std::string& digits : fractions) {
    for (bool negative : {false, true}) {
      const std::string input = std::string(negative ? "-" : "") + "37." + digits + ",";
      SCOPED_TRACE(input.substr(0, 40));
      expectTokens({flt(referenceFloat(37, digits, negative)), ch(','), eof()},
                   tokenize(input, Profile::Map));
    }
  }
}

TEST(TokenizerTest, WordsAndComments) {
  using P = Profile;
  runCases({
      {"words with digits and minus",
       P::Map,
       "end-img RGN10 Layer_Min",
       {word("end-img"), word("rgn10"), word("layer_min"), eof()}},
      {"word ends at ordinary byte", P::Map, "Data0=(", {word("data0"), ch('='), ch('('), eof()}},
      {"high bytes are ordinary", P::Map, "a\xC0", {word("a"), ch(0xC0), eof()}},
      {"map comment skipped", P::Map, "; note\nx", {word("x", 1), eof(1)}},
      {"map comment returned",
       P::MapComments,
       "; note\r\nx",
       {comment(" note"), word("x", 1), eof(1)}},
      {"comment at end of input", P::MapComments, ";abc", {comment("abc"), eof()}},
      {"empty comment", P::MapComments, ";\n", {comment(""), eof(1)}},
      {"semicolon ordinary in script", P::Script, "a;b", {word("a"), ch(';'), word("b"), eof()}},
      {"line comment", P::Script, "a // b c\nd", {word("a"), word("d", 1), eof(1)}},
      {"line comment at end", P::Script, "a //", {word("a"), eof()}},
      {"block comment", P::Script, "a /* b */c", {word("a"), word("c"), eof()}},
      {"block comment stars", P::Script, "/***/a/**x**/b", {word("a"), word("b"), eof()}},
      {"slash star slash does not close", P::Script, "/*/ a */b", {word("b"), eof()}},
      {"unterminated block comment", P::Script, "a /* b\n", {word("a"), eof(1)}},
      {"lone slash", P::Script, "a/b", {word("a"), ch('/'), word("b"), eof()}},
      {"slash at end", P::Script, "/", {ch('/'), eof()}},
      {"slashes ordinary in map", P::Map, "//a", {ch('/'), ch('/'), word("a"), eof()}},
      {"slash star ordinary in map", P::Map, "/*", {ch('/'), ch('*'), eof()}},
      {"NUL is a character token",
       P::Map,
       std::string("a\0b", 3),
       {word("a"), ch(0), word("b"), eof()}},
      {"NUL first", P::Map, std::string("\0x", 2), {ch(0), word("x"), eof()}},
      {"NUL twice", P::Map, std::string("\0\0", 2), {ch(0), ch(0), eof()}},
  });
}

TEST(TokenizerTest, WordSpellingIsKeptOnlyWhenAsked) {
  Input in("NonStd_Field-2=Value x\n\"Q\" 5 ;C\nEND");
  Tokenizer t(in.get());
  t.setMapProfile();
  t.nextToken();
  EXPECT_EQ(t.text, "nonstd_field-2");
  EXPECT_EQ(t.wordSpelling, "");
  t.keepWordSpelling = true;
  t.nextToken();
  t.readValueLine();
  EXPECT_EQ(t.text, "Value x");
  // Strings, numbers and comments are no words.
  EXPECT_EQ(t.nextToken(), T::TokenString);
  EXPECT_EQ(t.nextToken(), T::TokenNum);
  EXPECT_EQ(t.wordSpelling, "");
  t.nextToken();
  EXPECT_EQ(t.text, "end");
  EXPECT_EQ(t.wordSpelling, "END");
  t.pushBack();
  t.nextToken();
  EXPECT_EQ(t.wordSpelling, "END");
  t.setMapProfile();
  EXPECT_FALSE(t.keepWordSpelling);
}

TEST(TokenizerTest, Strings) {
  using P = Profile;
  runCases({
      {"plain", P::Script, "\"Main Street\"x", {str("Main Street"), word("x"), eof()}},
      {"empty", P::Script, "\"\"", {str(""), eof()}},
      {"unterminated at end", P::Script, "\"abc", {str("abc"), eof()}},
      {"unterminated at line break", P::Script, "\"ab\ncd", {str("ab"), word("cd", 1), eof(1)}},
      {"octal and named escapes",
       P::Script,
       "\"\\101\\n\\a\\b\\f\\r\\t\\v\"",
       {str("A\n\a\b\f\r\t\v"), eof()}},
      {"third octal digit only after 0-3",
       P::Script,
       "\"\\477\\377\\400\"",
       {str("'7\xFF 0"), eof()}},
      {"short octal",
       P::Script,
       "\"\\18\\0012\\7\"",
       {str("\x01"
            "8\x01"
            "2\x07"),
        eof()}},
      {"octal at closing quote", P::Script, "\"\\12\"x", {str("\n"), word("x"), eof()}},
      {"path with single backslashes", P::Script, "\"C:\\maps\\new\"", {str("C:maps\new"), eof()}},
      {"doubled backslashes", P::Script, "\"C:\\\\maps\"", {str("C:\\maps"), eof()}},
      {"escaped quote", P::Script, "\"a\\\"b\"", {str("a\"b"), eof()}},
      {"trailing backslash ends the string", P::Script, "\"ab\\", {str("ab"), eof()}},
      {"NUL inside", P::Script, std::string("\"a\0b\"", 5), {str(std::string("a\0b", 3)), eof()}},
      {"no lower casing", P::Map, "\"AbC\"", {str("AbC"), eof()}},
  });
}

TEST(TokenizerTest, QuoteLineBreakIsError) {
  for (const char* input : {"\"ab\ncd\"", "\"ab\r"}) {
    Input in(input);
    Tokenizer t(in.get());
    t.setScriptProfile();
    t.quoteLineBreakIsError = true;
    try {
      t.nextToken();
      ADD_FAILURE() << "no exception for " << input;
    } catch (const TokenizerException& e) {
      EXPECT_STREQ("CR or LF not allowed in quote.", e.what());
      EXPECT_STREQ("TokenizerException", e.className());
    }
  }
}

TEST(TokenizerTest, LineCounting) {
  using P = Profile;
  runCases({
      {"LF", P::Script, "a\nb\n", {word("a"), word("b", 1), eof(2)}},
      {"CR LF", P::Script, "a\r\nb\r\n", {word("a"), word("b", 1), eof(2)}},
      {"CR", P::Script, "a\rb\r", {word("a"), word("b", 1), eof(2)}},
      {"LF CR is two", P::Script, "a\n\rb", {word("a"), word("b", 2), eof(2)}},
      {"blank lines", P::Script, "\n\r\n\r\r\na", {word("a", 4), eof(4)}},
      {"block comment LF", P::Script, "/*1\n2\n3*/a", {word("a", 2), eof(2)}},
      {"block comment CR LF", P::Script, "/*1\r\n2\r\n3*/a", {word("a", 2), eof(2)}},
      {"block comment CR", P::Script, "/*1\r2\r3*/a", {word("a", 2), eof(2)}},
      {"block comment LF CR", P::Script, "/*1\n\r2*/a", {word("a", 2), eof(2)}},
      {"block comment blank lines", P::Script, "/*\n\n\n*/a", {word("a", 3), eof(3)}},
      {"star before line break", P::Script, "/**\r\n*/a", {word("a", 1), eof(1)}},
      {"eol LF", P::Script, "a\nb", {word("a"), eol(1), word("b", 1), eof(1)}, true},
      {"eol CR LF", P::Script, "a\r\nb", {word("a"), eol(1), word("b", 1), eof(1)}, true},
      {"eol CR", P::Script, "a\rb", {word("a"), eol(1), word("b", 1), eof(1)}, true},
      {"eol LF CR", P::Script, "a\n\rb", {word("a"), eol(1), eol(2), word("b", 2), eof(2)}, true},
      {"eol after comment", P::Map, "1;x\r\n", {num(1), eol(1), eof(1)}, true},
      {"eol trailing blanks", P::Script, "a \t\n", {word("a"), eol(1), eof(1)}, true},
  });
}

TEST(TokenizerTest, EndOfInputIsSticky) {
  for (const char* input : {"", "a", "/* open", "  \n"}) {
    Input in(input);
    Tokenizer t(in.get());
    t.setScriptProfile();
    while (t.nextToken() != T::TokenEof) {
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(T::TokenEof, t.nextToken()) << input;
  }
}

TEST(TokenizerTest, PushBackRepeatsTheTokenWithoutReading) {
  Input in("Label 42 7.5");
  Tokenizer t(in.get());
  t.setMapProfile();
  ASSERT_EQ(T::TokenWord, t.nextToken());
  t.pushBack();
  ASSERT_EQ(T::TokenWord, t.nextToken());
  EXPECT_EQ("label", t.text);
  EXPECT_FALSE(t.pushedBack);
  ASSERT_EQ(T::TokenNum, t.nextToken());
  t.pushBack();
  EXPECT_EQ(T::TokenNum, t.nextToken());
  EXPECT_EQ(42, t.intValue);
  EXPECT_EQ(T::TokenFloat, t.nextToken());
  EXPECT_EQ(7.5, t.floatValue);
}

struct ValueLineCase {
  const char* name;
  std::string input;
  std::string value;
  int32_t lineCount;
  int32_t nextType;
  int32_t lineAfterNext;
};

TEST(TokenizerTest, ReadValueLine) {
  const std::vector<ValueLineCase> cases = {
      {"trimmed, CR LF", "Label=  Main Street  \r\n\xE0x", "Main Street", 1, 0xE0, 1},
      {"LF CR is one break", "Label=a\n\rb", "a", 1, T::TokenWord, 1},
      {"CR", "Label=a\rb", "a", 1, T::TokenWord, 1},
      {"LF", "Label=a\nb", "a", 1, T::TokenWord, 1},
      {"LF LF is not a pair", "Label=a\n\nb", "a", 1, T::TokenWord, 2},
      {"CR CR is not a pair", "Label=a\r\rb", "a", 1, T::TokenWord, 2},
      {"special bytes kept", "Label=a;b\"c/d\\e /*f\n", "a;b\"c/d\\e /*f", 1, T::TokenEof, 1},
      {"inner blanks kept", "Label=\t a \t b\t\n", "a \t b", 1, T::TokenEof, 1},
      {"empty", "Label=\r\nx", "", 1, T::TokenWord, 1},
      {"blanks only", "Label=  \nx", "", 1, T::TokenWord, 1},
      {"end of input", "Label= v", "v", 0, T::TokenEof, 0},
      {"NUL kept", std::string("Label=a\0b\n", 10), std::string("a\0b", 3), 1, T::TokenEof, 1},
  };
  for (const ValueLineCase& c : cases) {
    SCOPED_TRACE(c.name);
    Input in(c.input);
    Tokenizer t(in.get());
    t.setMapProfile();
    ASSERT_EQ(T::TokenWord, t.nextToken());
    ASSERT_EQ('=', t.nextToken());
    t.readValueLine();
    EXPECT_EQ(c.value, t.text);
    EXPECT_EQ(c.lineCount, t.lineCount);
    EXPECT_EQ('=', t.tokenType);
    EXPECT_EQ(c.nextType, t.nextToken());
    EXPECT_EQ(c.lineAfterNext, t.lineCount);
  }
}

TEST(TokenizerTest, ReadValueLineBeforeTheFirstToken) {
  Input in(std::string("\0 v\n\0", 5));
  Tokenizer t(in.get());
  t.setMapProfile();
  t.readValueLine();
  EXPECT_EQ(std::string("\0 v", 3), t.text);
  EXPECT_EQ(0, t.tokenType);
  EXPECT_EQ(0, t.nextToken());
  EXPECT_EQ(1, t.lineCount);
  EXPECT_EQ(T::TokenEof, t.nextToken());
}

// Places `token` so that it starts `offset` bytes before the end of the first block.
std::string acrossBlockEdge(const std::string& token, size_t offset) {
  return std::string(kBlock - offset, ' ') + token;
}

TEST(TokenizerTest, TokensAcrossTheBlockEdge) {
  using P = Profile;
  for (size_t offset : {size_t{1}, size_t{2}, size_t{3}, size_t{5}}) {
    SCOPED_TRACE(offset);
    runCases({
        {"word", P::Map, acrossBlockEdge("Abcdef x", offset), {word("abcdef"), word("x"), eof()}},
        {"float", P::Map, acrossBlockEdge("-12.25)", offset), {flt(-12.25), ch(')'), eof()}},
        {"hex", P::Script, acrossBlockEdge("0xabc)", offset), {num(0xabc), ch(')'), eof()}},
        {"comment",
         P::MapComments,
         acrossBlockEdge(";abcd\nx", offset),
         {comment("abcd"), word("x", 1), eof(1)}},
        {"string", P::Script, acrossBlockEdge("\"\\101bc\"", offset), {str("Abc"), eof()}},
        {"CR LF", P::Script, acrossBlockEdge("\r\nx", offset), {word("x", 1), eof(1)}},
        {"block comment", P::Script, acrossBlockEdge("/*\r\n*/x", offset), {word("x", 1), eof(1)}},
    });
  }
}

TEST(TokenizerTest, ReadValueLineAcrossTheBlockEdge) {
  for (size_t offset : {size_t{1}, size_t{4}, size_t{9}}) {
    Input in("Label=" + std::string(kBlock - 6 - offset, ' ') + "Main Street \r\nx");
    Tokenizer t(in.get());
    t.setMapProfile();
    t.nextToken();
    t.nextToken();
    t.readValueLine();
    EXPECT_EQ("Main Street", t.text) << offset;
    EXPECT_EQ(1, t.lineCount);
  }
}

// Blocks of `size` bytes, with an empty block between any two, as a chunked map hands them over.
class SmallBlocks final : public BlockSource {
 public:
  SmallBlocks(const std::string& data, size_t size) : data_(data), size_(size) {}
  bool nextBlock(const unsigned char*& begin, const unsigned char*& end) override {
    if (offset_ >= data_.size()) return false;
    begin = end = reinterpret_cast<const unsigned char*>(data_.data()) + offset_;
    if ((calls_++ & 1) == 0) return true;
    const size_t n = std::min(size_, data_.size() - offset_);
    end = begin + n;
    offset_ += n;
    return true;
  }

 private:
  const std::string& data_;
  size_t size_;
  size_t offset_ = 0;
  unsigned calls_ = 0;
};

TEST(TokenizerTest, BlockSourceReadsAsTheFileDoes) {
  const std::string map =
      "[IMG ID]\r\nName=A  b \n\r;c=1\n[POI]\nData0=(-12.5,0x1f),(3,4)\nLabel=\"x\\n\"\r"
      "\"q\\101\n--5 end-img";
  for (size_t size : {size_t{1}, size_t{2}, size_t{3}, size_t{7}}) {
    SCOPED_TRACE(size);
    Input in(map);
    Tokenizer fromFile(in.get());
    SmallBlocks blocks(map, size);
    Tokenizer fromBlocks(blocks);
    for (Tokenizer* t : {&fromFile, &fromBlocks}) {
      t->setMapProfile();
      t->returnComments = true;
    }
    bool ended = false;
    for (int i = 0; i < 60 && !ended; ++i) {
      // Value lines after '=' as the reader takes them, tokens elsewhere.
      if (fromFile.tokenType == '=' && fromFile.text.empty()) {
        fromFile.readValueLine();
        fromBlocks.readValueLine();
      } else {
        fromFile.nextToken();
        fromBlocks.nextToken();
      }
      ASSERT_EQ(current(fromFile), current(fromBlocks)) << "step " << i;
      ended = fromFile.tokenType == T::TokenEof;
    }
    EXPECT_TRUE(ended);
  }
}

// The reader takes plainly written points whole and commas by themselves; whatever the text and
// wherever the blocks end, that must leave values, tokens and line counts exactly as reading
// token by token does.
TEST(TokenizerTest, PointsTakenWholeReadAsTokenByToken) {
  const std::vector<std::string> numbers = {"55.05164",
                                            "-37.5",
                                            "0",
                                            "-0",
                                            "-0.0",
                                            "7",
                                            "007",
                                            "0.",
                                            "12.",
                                            "0x1f",
                                            "-",
                                            "-x",
                                            ".5",
                                            "4294967297.25",
                                            "-2147483649",
                                            "99999999999",
                                            "0.123456789012345678901234",
                                            "1.1234567890123456789012345",
                                            "179.999999",
                                            "-179.9999995",
                                            "3.14159265358979"};
  const std::vector<std::string> glue = {",", ",", ",", ")", "(", " ", "\n", "\r\n", ";c\n", "a"};
  std::mt19937 random(20261209);
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[random() % from.size()];
  };
  // Half the numbers as maps write them, with digits at random.
  const auto number = [&] {
    if (random() % 2 == 0) return pick(numbers);
    std::string s = random() % 3 == 0 ? "-" : "";
    for (unsigned i = 0, n = 1 + random() % 3; i < n; ++i)
      s += static_cast<char>('0' + random() % 10);
    s += '.';
    for (unsigned i = 0, n = 1 + random() % 9; i < n; ++i)
      s += static_cast<char>('0' + random() % 10);
    return s;
  };
  for (int round = 0; round < 200; ++round) {
    std::string text = "=";
    for (int point = 0; point < 12; ++point) {
      const bool plain = random() % 4 != 0;
      text += plain ? "(" : pick(glue);
      text += number() + (plain ? "," : pick(glue)) + number();
      text += plain ? ")" : pick(glue);
      text += random() % 5 != 0 ? "," : pick(glue);
    }
    for (size_t size : {size_t{1}, size_t{5}, size_t{64}, kBlock}) {
      SCOPED_TRACE(testing::Message() << "round " << round << ", blocks of " << size);
      Input in(text);
      Tokenizer byTokens(in.get());
      SmallBlocks blocks(text, size);
      Tokenizer whole(blocks);
      for (Tokenizer* t : {&byTokens, &whole}) {
        t->setMapProfile();
        t->returnComments = true;
      }
      for (int step = 0; step < 400 && byTokens.tokenType != T::TokenEof; ++step) {
        double lat = 0.0;
        double lon = 0.0;
        if (whole.scanPoint(lat, lon)) {
          std::vector<double> values;
          for (int32_t expected :
               {int32_t{'('}, T::TokenNum, int32_t{','}, T::TokenNum, int32_t{')'}}) {
            const int32_t type = byTokens.nextToken();
            if (expected == T::TokenNum) {
              ASSERT_TRUE(type == T::TokenNum || type == T::TokenFloat) << text;
              values.push_back(type == T::TokenNum ? byTokens.intValue : byTokens.floatValue);
            } else {
              ASSERT_EQ(expected, type) << text;
            }
          }
          EXPECT_EQ(0, std::memcmp(&values[0], &lat, sizeof lat)) << text;
          EXPECT_EQ(0, std::memcmp(&values[1], &lon, sizeof lon)) << text;
          EXPECT_EQ(byTokens.intValue, whole.intValue);
          EXPECT_EQ(0, std::memcmp(&byTokens.floatValue, &whole.floatValue, sizeof lat));
        } else if (whole.takeChar(',')) {
          ASSERT_EQ(',', byTokens.nextToken()) << text;
        } else {
          byTokens.nextToken();
          whole.nextToken();
        }
        ASSERT_EQ(current(byTokens), current(whole)) << text << " step " << step;
      }
      // Both read on from the same place.
      EXPECT_EQ(T::TokenEof, byTokens.tokenType);
      EXPECT_EQ(T::TokenEof, whole.nextToken());
    }
  }
}

TEST(TokenizerTest, LongInputCountsEveryLine) {
  std::string input;
  for (int i = 0; i < 100000; ++i) input += "Data0=(55.123456,37.654321),(55.5,37.5)\r\n";
  ASSERT_GT(input.size(), 3 * kBlock);
  Input in(input);
  Tokenizer t(in.get());
  t.setMapProfile();
  size_t floats = 0;
  while (t.nextToken() != T::TokenEof) {
    if (t.tokenType == T::TokenFloat) {
      ++floats;
      ASSERT_TRUE(t.floatValue == referenceFloat(55, "123456", false) ||
                  t.floatValue == referenceFloat(37, "654321", false) || t.floatValue == 55.5 ||
                  t.floatValue == 37.5)
          << t.floatValue;
    }
  }
  EXPECT_EQ(400000u, floats);
  EXPECT_EQ(100000, t.lineCount);
}

TEST(TokenizerTest, ReadErrorThrowsIOException) {
  FilePtr dir(std::fopen(".", "r"));
  if (!dir) GTEST_SKIP() << "this system cannot open a directory as a stream";
  Tokenizer t(dir.get());
  t.setScriptProfile();
  try {
    t.nextToken();
    ADD_FAILURE() << "no exception";
  } catch (const IOException& e) {
    EXPECT_STREQ(std::strerror(EISDIR), e.what());
    EXPECT_STREQ("IOException", e.className());
  }
}

#if defined(__GLIBC__)
// A stream that yields `data_` and then fails with EIO, as a disk error would.
class FailingStream {
 public:
  explicit FailingStream(std::string data) : data_(std::move(data)) {
    const cookie_io_functions_t functions{&FailingStream::read, nullptr, nullptr, nullptr};
    file_.reset(fopencookie(this, "r", functions));
  }
  FILE* get() const { return file_.get(); }

 private:
  static ssize_t read(void* cookie, char* buffer, size_t size) {
    auto* self = static_cast<FailingStream*>(cookie);
    if (self->sent_) {
      errno = EIO;
      return -1;
    }
    self->sent_ = true;
    const size_t n = std::min(size, self->data_.size());
    std::memcpy(buffer, self->data_.data(), n);
    return static_cast<ssize_t>(n);
  }

  std::string data_;
  bool sent_ = false;
  FilePtr file_;
};

TEST(TokenizerTest, BytesBeforeAReadErrorAreDeliveredFirst) {
  FailingStream stream("abc def");
  ASSERT_TRUE(stream.get());
  Tokenizer t(stream.get());
  t.setScriptProfile();
  ASSERT_EQ(T::TokenWord, t.nextToken());
  EXPECT_EQ("abc", t.text);
  EXPECT_THROW(t.nextToken(), IOException);
  try {
    t.nextToken();
    ADD_FAILURE() << "the error was forgotten";
  } catch (const IOException& e) {
    EXPECT_STREQ(std::strerror(EIO), e.what());
  }
}
#endif

std::string dumpOf(const Tokenizer& t) {
  FilePtr out(std::tmpfile());
  t.dumpToken(out.get());
  std::rewind(out.get());
  char buffer[256];
  const size_t n = std::fread(buffer, 1, sizeof buffer, out.get());
  return std::string(buffer, n);
}

TEST(TokenizerTest, DumpToken) {
  struct DumpCase {
    std::string input;
    Profile profile;
    int tokens;
    std::string expected;
    bool eolSignificant = false;
  };
  const std::vector<DumpCase> cases = {
      {"", Profile::Script, 1, "eof\n"},
      {"a\nb", Profile::Script, 2, "eol\n", true},
      {"x\ny", Profile::Script, 1, "1: word: x\n"},
      {"x\ny", Profile::Script, 2, "2: word: y\n"},
      {"-42", Profile::Script, 1, "1: num: -42\n"},
      {"55.75", Profile::Map, 1, "1: float: 55.750000\n"},
      {"\"a b\"", Profile::Script, 1, "1: string: a b\n"},
      {"; c", Profile::MapComments, 1, "1: comment:  c\n"},
      {"\r\n\r\n=", Profile::Map, 1, "3: char: =\n"},
  };
  for (const DumpCase& c : cases) {
    Input in(c.input);
    Tokenizer t(in.get());
    applyProfile(t, c.profile);
    t.eolSignificant = c.eolSignificant;
    for (int i = 0; i < c.tokens; ++i) t.nextToken();
    EXPECT_EQ(c.expected, dumpOf(t));
  }
}

TEST(TokenizerTest, RealMapsTokenizeWithEveryLineCounted) {
  const char* root = std::getenv("ZARVEX_SOURCE_DIR");
  if (root == nullptr) GTEST_SKIP() << "ZARVEX_SOURCE_DIR is not set";
  const std::filesystem::path dir = std::filesystem::path(root) / ".." / "shared" / "realmaps";
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no real maps";
  size_t maps = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".mp") continue;
    ++maps;
    std::ifstream stream(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(stream)), {});
    int32_t breaks = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))) ++breaks;
    }
    FilePtr file(std::fopen(entry.path().string().c_str(), "rb"));
    ASSERT_TRUE(file);
    Tokenizer t(file.get());
    t.setMapProfile();
    t.returnComments = true;
    while (t.nextToken() != T::TokenEof) {
    }
    EXPECT_EQ(breaks, t.lineCount) << entry.path().filename();
  }
  if (maps == 0) GTEST_SKIP() << "no real maps";
}

}  // namespace
}  // namespace zarvex
