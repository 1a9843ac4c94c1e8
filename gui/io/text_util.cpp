#include "gui/io/text_util.h"

#include <charconv>
#include <cstdint>

namespace visual {

namespace {

bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view trimmed(std::string_view text) {
  text = trimmedLeft(text);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view trimmedLeft(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

std::size_t findNoCase(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  if (text.size() < needle.size()) return std::string_view::npos;
  const char first = needle.front();
  const char firstUpper =
      first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
  for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
    if (text[i] != first && text[i] != firstUpper) continue;
    std::size_t k = 1;
    while (k < needle.size() && lowerAscii(text[i + k]) == needle[k]) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (lowerAscii(text[i]) != prefix[i]) return false;
  return true;
}

bool isBlankOrComment(std::string_view line) {
  return trimmed(line).empty() || line.front() == ';';
}

std::optional<int> parseInteger(std::string_view text) {
  text = trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (startsWithNoCase(text, "0x")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace visual
