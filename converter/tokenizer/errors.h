#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace zarvex {

/// A syntax error in a map or a script, with the tokenizer's count of line breaks consumed.
class ParserException : public std::exception {
 public:
  ParserException(std::string message, int32_t line) : message(std::move(message)), line(line) {}
  const char* what() const noexcept override { return message.c_str(); }
  virtual const char* className() const noexcept { return "ParserException"; }

  std::string message;
  int32_t line;
};

/// A line break inside a quoted string while the tokenizer forbids it.
class TokenizerException : public std::exception {
 public:
  explicit TokenizerException(const char* message) : message(message) {}
  const char* what() const noexcept override { return message; }
  virtual const char* className() const noexcept { return "TokenizerException"; }

  const char* message;
};

/// A read or write error other than end of input; the message is the system's text for errno.
class IOException : public std::exception {
 public:
  explicit IOException(std::string message) : message(std::move(message)) {}
  const char* what() const noexcept override { return message.c_str(); }
  virtual const char* className() const noexcept { return "IOException"; }

  std::string message;
};

}  // namespace zarvex
