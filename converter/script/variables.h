#pragma once

#include <memory>
#include <string>

#include "converter/script/expression.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

// Each factory takes a lowered word and returns a new node, or none when it does not know the
// word. The words are compared in the order the language fixes.

/// `export`, `index`, `city`, `direction`.
std::unique_ptr<BoolLVar> makeBoolLVar(const std::string& name);
/// `point` ... `speed_limit`, and `intattr`, whose quoted key is read from `tokenizer`.
std::unique_ptr<IntLVar> makeIntLVar(const std::string& name, Tokenizer& tokenizer);
/// `area`, `length`, `width`, `height`.
std::unique_ptr<IntRVar> makeMeasureExpr(const std::string& name);
/// `label` ... `dontfind`, and `attr`, whose quoted key is read from `tokenizer`.
std::unique_ptr<StringLVar> makeStringVar(const std::string& name, Tokenizer& tokenizer);
/// `kind`.
std::unique_ptr<KindLVar> makeKindLVar(const std::string& name);
/// `true`, `false`.
std::unique_ptr<BoolExpr> makeBoolConst(const std::string& name);

}  // namespace zarvex
