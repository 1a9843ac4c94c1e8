#include "converter/script/rule_messages.h"

#include <cstdio>

namespace zarvex {

namespace {

thread_local std::string* captured = nullptr;

}  // namespace

void printRuleMessage(const std::string& line) {
  if (captured != nullptr)
    captured->append(line);
  else
    std::fputs(line.c_str(), stderr);
}

RuleMessageCapture::RuleMessageCapture(std::string& into) : previous_(captured) {
  captured = &into;
}

RuleMessageCapture::~RuleMessageCapture() {
  captured = previous_;
}

}  // namespace zarvex
