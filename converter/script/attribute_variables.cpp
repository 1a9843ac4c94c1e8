#include "converter/script/attribute_variables.h"

#include <cstdlib>
#include <vector>

#include "converter/mpformat/number_format.h"
#include "converter/script/rule_messages.h"

namespace zarvex {
namespace {

const KeyValue* findAttribute(const std::vector<KeyValue>& list, const std::string& name) {
  for (const KeyValue& entry : list)
    if (entry.key == name) return &entry;
  return nullptr;
}

void storeAttribute(std::vector<KeyValue>& list, const std::string& name, std::string value) {
  for (KeyValue& entry : list)
    if (entry.key == name) {
      entry.value = std::move(value);
      return;
    }
  list.push_back(KeyValue{name, std::move(value)});
}

}  // namespace

int32_t parseAttributeInt(const std::string& text) {
  // long is 64-bit here, so strtol's own saturation lies beyond int32 and must be repeated.
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::string StringAttrVar::get(const MapObject&, const ObjectAttributes& attributes) const {
  const KeyValue* match = findAttribute(attributes.attributes, name);
  return match ? match->value : std::string();
}

std::string_view StringAttrVar::view(const MapObject&, const ObjectAttributes& attributes,
                                     std::string&) const {
  const KeyValue* match = findAttribute(attributes.attributes, name);
  return match ? std::string_view(match->value) : std::string_view();
}

void StringAttrVar::set(ObjectAttributes& attributes, std::string value) const {
  storeAttribute(attributes.attributes, name, std::move(value));
}

void StringAttrVar::append(const MapObject&, ObjectAttributes& attributes,
                           std::string_view tail) const {
  for (KeyValue& entry : attributes.attributes)
    if (entry.key == name) {
      entry.value.append(tail);
      return;
    }
  // Copied before the list grows: `tail` may lie in one of its entries.
  KeyValue added{name, std::string(tail)};
  attributes.attributes.push_back(std::move(added));
}

int32_t IntAttrVar::get(const MapObject&, const ObjectAttributes& attributes) const {
  const KeyValue* match = findAttribute(attributes.attributes, name);
  if (!match) {
    printRuleMessage(std::string("Unknown attribute: ") + name.c_str() + "\n");
    return 0;
  }
  return parseAttributeInt(match->value);
}

void IntAttrVar::set(ObjectAttributes& attributes, int32_t value) const {
  char buffer[16];
  char* end = formatInt(value, buffer);
  storeAttribute(attributes.attributes, name,
                 std::string(buffer, static_cast<size_t>(end - buffer)));
}

}  // namespace zarvex
