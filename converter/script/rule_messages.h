#pragma once

#include <string>

namespace zarvex {

/// Prints a message of the rules, a line with its line break: to standard error, or into the
/// text of the capture alive on this thread.
void printRuleMessage(const std::string& line);

/// While alive, the messages of the rules run on this thread are kept in `into` instead of being
/// printed, so that pieces of a map ruled side by side can have them printed in file order.
class RuleMessageCapture {
 public:
  explicit RuleMessageCapture(std::string& into);
  ~RuleMessageCapture();
  RuleMessageCapture(const RuleMessageCapture&) = delete;
  RuleMessageCapture& operator=(const RuleMessageCapture&) = delete;

 private:
  std::string* previous_;
};

}  // namespace zarvex
