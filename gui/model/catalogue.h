#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gui/model/type_key.h"

namespace visual {

/// One entry of the type catalogue `mdD`.
struct CatalogueEntry {
  std::string Id;
  int Type = -1;  // kind; -1 for types listed before any kind marker
  std::string eName;
};

/// The type catalogue `mdD`: one name per (Id, Type), in the order of first definition.
class Catalogue {
 public:
  const std::vector<CatalogueEntry>& entries() const { return entries_; }
  /// The name of (id, type), or nullptr when the catalogue has none.
  const std::string* name(std::string_view id, int type) const;
  /// Replaces the name of (id, type), or adds the entry.
  void define(std::string id, int type, std::string name);
  void clear();
  /// The choices of an object type list for `kind`: Id, ":" and eName, sorted.
  std::vector<std::string> choices(int kind) const;

 private:
  std::vector<CatalogueEntry> entries_;
  std::unordered_map<std::size_t, std::vector<std::size_t>> index_;
};

}  // namespace visual
