#include "converter/mpformat/comment_attribute.h"

#include <cstddef>
#include <string>

namespace zarvex {

std::optional<KeyValue> parseCommentAttribute(std::string_view text) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0) return std::nullopt;
  // The backward scan never inspects position 0, so a key that ends there (a one-character key
  // right after the ';', or one made only of blanks) does not count.
  size_t keyEnd = equals - 1;
  while (keyEnd > 0 && text[keyEnd] == ' ') --keyEnd;
  if (keyEnd == 0) return std::nullopt;
  size_t keyBegin = 0;
  while (text[keyBegin] == ' ') ++keyBegin;
  size_t valueBegin = equals + 1;
  while (valueBegin < text.size() && text[valueBegin] == ' ') ++valueBegin;
  size_t valueEnd = text.size();
  while (valueEnd > valueBegin && text[valueEnd - 1] == ' ') --valueEnd;
  return KeyValue{std::string(text.substr(keyBegin, keyEnd + 1 - keyBegin)),
                  std::string(text.substr(valueBegin, valueEnd - valueBegin))};
}

}  // namespace zarvex
