#include "converter/script/config_parser.h"

#include <utility>

#include "converter/script/conditions.h"
#include "converter/script/constants.h"
#include "converter/script/variables.h"
#include "converter/tokenizer/errors.h"

namespace zarvex {
namespace {

struct KindName {
  const char* word;
  ObjectKind kind;
};

constexpr KindName kKindNames[] = {
    {"point", ObjectKind::Point},         {"line", ObjectKind::Line},
    {"polygon", ObjectKind::Polygon},     {"restriction", ObjectKind::Restriction},
    {"countries", ObjectKind::Countries}, {"regions", ObjectKind::Regions},
    {"districts", ObjectKind::Districts}, {"cities", ObjectKind::Cities},
    {"zipcodes", ObjectKind::ZipCodes},
};

}  // namespace

ConfigParserImpl::ConfigParserImpl(Tokenizer& script, std::unique_ptr<ObjectConfImpl>& firstEntry)
    : tokenizer(script), firstEntry_(firstEntry) {}

std::unique_ptr<IntExpr> ConfigParserImpl::makeIntRVar(const std::string& name) {
  return makeMeasureExpr(name);
}

std::unique_ptr<StringLVar> ConfigParserImpl::makeStringLVar(const std::string& name) {
  return makeStringVar(name, tokenizer);
}

std::unique_ptr<StringExpr> ConfigParserImpl::makeStringRVar(const std::string&) {
  return nullptr;
}

std::unique_ptr<SetVar> ConfigParserImpl::makeSetVar(const std::string&) {
  return nullptr;
}

void ConfigParserImpl::beginFile(ObjectConfImpl&) {}

void ConfigParserImpl::fail(const char* message) const {
  throw ParserException(message, tokenizer.lineCount);
}

void ConfigParserImpl::fail(const std::string& message) const {
  throw ParserException(message, tokenizer.lineCount);
}

// file-statement: file STRING block
bool ConfigParserImpl::parseFileStatement() {
  const int32_t token = tokenizer.nextToken();
  if (token == Tokenizer::TokenEof) return false;
  if (token != Tokenizer::TokenWord || tokenizer.text != "file") fail("Expected 'file'");
  if (tokenizer.nextToken() != Tokenizer::TokenString) fail("Expected file name");
  auto entry = std::make_unique<ObjectConfImpl>(tokenizer.text);
  parseBlock(entry->block, entry.get(), 0);
  // Linked only now, so that a failed statement leaves the list as it was.
  entry->next = std::move(firstEntry_);
  firstEntry_ = std::move(entry);
  return true;
}

// block: { (case condition block | assignment ;)* }
void ConfigParserImpl::parseBlock(Block& block, ObjectConfImpl* entry, int32_t depth) {
  if (tokenizer.nextToken() != '{') fail("Expected '{'");
  if (entry) beginFile(*entry);
  for (int32_t token = tokenizer.nextToken(); token != '}'; token = tokenizer.nextToken()) {
    if (token != Tokenizer::TokenWord) fail("Expected variable name or '}'");
    if (tokenizer.text == "case") {
      // Execution and destruction recurse once per nesting level; the bound keeps them safe.
      if (depth >= MaxNesting) fail("Nesting too deep");
      auto statement = std::make_unique<Case>(parseBoolExpr());
      parseBlock(*statement, nullptr, depth + 1);
      block.append(std::move(statement));
    } else {
      block.append(parseAssignment(std::string(tokenizer.text)));
      if (tokenizer.nextToken() != ';') fail("Expected ';'");
    }
  }
}

// assignment: bool-var = condition | (int-var | string-var) (= | + =) operand | kind = kind-const
std::unique_ptr<Executable> ConfigParserImpl::parseAssignment(const std::string& word) {
  if (auto var = makeBoolLVar(word)) {
    if (tokenizer.nextToken() != '=') fail("Expected '='");
    return std::make_unique<BoolAssign>(std::move(var), parseBoolExpr());
  }
  if (auto var = makeIntLVar(word, tokenizer)) {
    const int32_t token = tokenizer.nextToken();
    if (token == '+') {
      if (tokenizer.nextToken() != '=') fail("Expected '+='");
      return std::make_unique<IntPlusAssign>(std::move(var), parseIntExpr());
    }
    if (token != '=') fail("Expected '=' or '+='");
    return std::make_unique<IntAssign>(std::move(var), parseIntExpr());
  }
  if (auto var = makeStringLVar(word)) {
    const int32_t token = tokenizer.nextToken();
    if (token == '+') {
      if (tokenizer.nextToken() != '=') fail("Expected '+='");
      return std::make_unique<StringPlusAssign>(std::move(var), parseStringExpr());
    }
    if (token != '=') fail("Expected '=' or '+='");
    return std::make_unique<StringAssign>(std::move(var), parseStringExpr());
  }
  if (auto var = makeKindLVar(word)) {
    if (tokenizer.nextToken() != '=') fail("Expected '='");
    return std::make_unique<KindAssign>(std::move(var), parseKindExpr());
  }
  fail("Unknown variable: " + word);
}

// condition: ! condition | true | false | bool-var | comparison
std::unique_ptr<BoolExpr> ConfigParserImpl::parseBoolExpr() {
  // The run of `!` is read in a loop rather than by recursion, so that its length can be bounded
  // before anything deep is built.
  int32_t negations = 0;
  int32_t token = tokenizer.nextToken();
  for (; token == '!'; token = tokenizer.nextToken())
    if (++negations > MaxNesting) fail("Nesting too deep");
  if (token != Tokenizer::TokenWord) fail("Boolean expression expected");
  const std::string word = tokenizer.text;

  std::unique_ptr<BoolExpr> result = makeBoolConst(word);
  if (!result) result = makeBoolLVar(word);
  if (!result) result = parseComparison(word);
  for (; negations > 0; --negations) result = std::make_unique<NotExpr>(std::move(result));
  return result;
}

// comparison: (int-var|read-only-int) compare int | (string-var|set-var|kind) (=|!=) operand
std::unique_ptr<BoolExpr> ConfigParserImpl::parseComparison(const std::string& word) {
  std::unique_ptr<IntExpr> intVar = makeIntLVar(word, tokenizer);
  if (!intVar) intVar = makeIntRVar(word);
  if (intVar) {
    switch (tokenizer.nextToken()) {
      case '=':
        return std::make_unique<EQIntExpr>(std::move(intVar), parseIntExpr());
      case '!':
        expectNotEqual();
        return std::make_unique<NEIntExpr>(std::move(intVar), parseIntExpr());
      case '<':
        if (tokenizer.nextToken() == '=')
          return std::make_unique<LEIntExpr>(std::move(intVar), parseIntExpr());
        tokenizer.pushBack();
        return std::make_unique<LTIntExpr>(std::move(intVar), parseIntExpr());
      case '>':
        if (tokenizer.nextToken() == '=')
          return std::make_unique<GEIntExpr>(std::move(intVar), parseIntExpr());
        tokenizer.pushBack();
        return std::make_unique<GTIntExpr>(std::move(intVar), parseIntExpr());
      default:
        fail("Expect =, !=, >, <, >=, <=");
    }
  }

  // The string, set and kind comparisons share their two operators.
  const auto readEquality = [this] {
    const int32_t token = tokenizer.nextToken();
    if (token == '!') {
      expectNotEqual();
      return false;
    }
    if (token != '=') fail("Expected = or !=");
    return true;
  };

  std::unique_ptr<StringExpr> stringVar = makeStringLVar(word);
  if (!stringVar) stringVar = makeStringRVar(word);
  if (stringVar) {
    if (readEquality())
      return std::make_unique<EQStringExpr>(std::move(stringVar), parseStringExpr());
    return std::make_unique<NEStringExpr>(std::move(stringVar), parseStringExpr());
  }
  if (auto setVar = makeSetVar(word)) {
    if (readEquality()) return std::make_unique<InExpr>(std::move(setVar), parseIntExpr());
    return std::make_unique<NotInExpr>(std::move(setVar), parseIntExpr());
  }
  if (auto kindVar = makeKindLVar(word)) {
    if (readEquality()) return std::make_unique<EQKindExpr>(std::move(kindVar), parseKindExpr());
    return std::make_unique<NEKindExpr>(std::move(kindVar), parseKindExpr());
  }
  fail("Unknown variable: " + word);
}

void ConfigParserImpl::expectNotEqual() {
  if (tokenizer.nextToken() != '=') fail("Expect !=");
}

// int-operand: NUMBER | int-var | read-only-int
std::unique_ptr<IntExpr> ConfigParserImpl::parseIntExpr() {
  const int32_t token = tokenizer.nextToken();
  if (token == Tokenizer::TokenNum) return std::make_unique<IntConst>(tokenizer.intValue);
  if (token != Tokenizer::TokenWord) fail("Integer expression expected");
  const std::string word = tokenizer.text;
  std::unique_ptr<IntExpr> result = makeIntLVar(word, tokenizer);
  if (!result) result = makeIntRVar(word);
  if (!result) fail("Unknown variable: " + word);
  return result;
}

// string-operand: STRING | string-var
std::unique_ptr<StringExpr> ConfigParserImpl::parseStringExpr() {
  const int32_t token = tokenizer.nextToken();
  if (token == Tokenizer::TokenString) return std::make_unique<StringConst>(tokenizer.text);
  if (token != Tokenizer::TokenWord) fail("String expression expected");
  const std::string word = tokenizer.text;
  std::unique_ptr<StringExpr> result = makeStringLVar(word);
  if (!result) result = makeStringRVar(word);
  if (!result) fail("Unknown variable: " + word);
  return result;
}

// kind-constant: one of the nine kind words, point (0) to zipcodes (8)
std::unique_ptr<KindExpr> ConfigParserImpl::parseKindExpr() {
  if (tokenizer.nextToken() != Tokenizer::TokenWord) fail("Kind expression expected");
  for (const KindName& name : kKindNames)
    if (tokenizer.text == name.word) return std::make_unique<KindConst>(name.kind);
  fail("Type constant expected (point, line, polygon or restriction)");
}

}  // namespace zarvex
