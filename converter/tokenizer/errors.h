#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace zarvex {

/// A syntax error in a map or a script, with the tokenizer's count of line breaks consumed.
class ParserException : public std::exception {
 public:
  ParserException(std::string text, int32_t lineNumber)
      : message(std::move(text)), line(lineNumber) {}
  const char* what() const noexcept override { return message.c_str(); }
  virtual const char* className() const noexcept { return "ParserException"; }

  std::string message;
  int32_t line;
};

/// A line break inside a quoted string while the tokenizer forbids it.
class TokenizerException : public std::exception {
 public:
  explicit TokenizerException(const char* text) : message(text) {}
  const char* what() const noexcept override { return message; }
  virtual const char* className() const noexcept { return "TokenizerException"; }

  const char* message;
};

/// A read or write error other than end of input; the message is the system's text for errno.
class IOException : public std::exception {
 public:
  explicit IOException(std::string text) : message(std::move(text)) {}
  const char* what() const noexcept override { return message.c_str(); }
  virtual const char* className() const noexcept { return "IOException"; }

  std::string message;
};

}  // namespace zarvex
