#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "converter/script/expression.h"
#include "converter/script/object_conf.h"
#include "converter/script/statements.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

/// The rule script parser; a further parser may add names through the factories.
class ConfigParser {
 public:
  virtual ~ConfigParser() = default;
  /// A read-only integer named `name`, or none.
  virtual std::unique_ptr<IntExpr> makeIntRVar(const std::string& name) = 0;
  /// An assignable string variable named `name`, or none.
  virtual std::unique_ptr<StringLVar> makeStringLVar(const std::string& name) = 0;
  /// A read-only string named `name`, or none.
  virtual std::unique_ptr<StringExpr> makeStringRVar(const std::string& name) = 0;
  /// A set variable named `name`, or none.
  virtual std::unique_ptr<SetVar> makeSetVar(const std::string& name) = 0;
  /// Called with each new entry once the `{` of its block has been read.
  virtual void beginFile(ObjectConfImpl& entry) = 0;
  /// Reads one `file` statement and links its entry; false at end of input.
  virtual bool parseFileStatement() = 0;
};

/// The parser of the rule script language.
class ConfigParserImpl : public ConfigParser {
 public:
  /// Deepest nesting of `case` blocks, and longest run of `!`, that a script may hold.
  static constexpr int32_t MaxNesting = 1000;

  /// Reads a script from `tokenizer` (script profile set by the caller); each file statement is
  /// linked at the front of `firstEntry`.
  ConfigParserImpl(Tokenizer& script, std::unique_ptr<ObjectConfImpl>& firstEntry);

  std::unique_ptr<IntExpr> makeIntRVar(const std::string& name) override;
  std::unique_ptr<StringLVar> makeStringLVar(const std::string& name) override;
  std::unique_ptr<StringExpr> makeStringRVar(const std::string& name) override;
  std::unique_ptr<SetVar> makeSetVar(const std::string& name) override;
  void beginFile(ObjectConfImpl& entry) override;
  /// Reads one `file` statement and links its entry at the front; false at end of input. Throws
  /// ParserException.
  bool parseFileStatement() override;

 protected:
  /// The script being read; not owned.
  Tokenizer& tokenizer;

 private:
  void parseBlock(Block& block, ObjectConfImpl* entry, int32_t depth);
  std::unique_ptr<Executable> parseAssignment(const std::string& word);
  std::unique_ptr<BoolExpr> parseBoolExpr();
  std::unique_ptr<BoolExpr> parseComparison(const std::string& word);
  std::unique_ptr<IntExpr> parseIntExpr();
  std::unique_ptr<StringExpr> parseStringExpr();
  std::unique_ptr<KindExpr> parseKindExpr();
  /// Reads the second character of `!=` after a `!`.
  void expectNotEqual();
  [[noreturn]] void fail(const char* message) const;
  [[noreturn]] void fail(const std::string& message) const;

  std::unique_ptr<ObjectConfImpl>& firstEntry_;
};

}  // namespace zarvex
