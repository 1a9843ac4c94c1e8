#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace visual {

/// The key of the rule table and of the catalogue: a type code and a kind.
struct TypeKey {
  std::string id;
  int type = 0;
  bool operator==(const TypeKey&) const = default;
};

/// Hash of a TypeKey, usable with a string_view look-up without building a key.
struct TypeKeyHash {
  using is_transparent = void;
  std::size_t operator()(const TypeKey& key) const { return combine(key.id, key.type); }
  static std::size_t combine(std::string_view id, int type) {
    return std::hash<std::string_view>{}(id)*31u + static_cast<std::size_t>(type + 1);
  }
};

}  // namespace visual
