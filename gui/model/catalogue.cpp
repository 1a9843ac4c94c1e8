#include "gui/model/catalogue.h"

#include <algorithm>
#include <utility>

namespace visual {

const std::string* Catalogue::name(std::string_view id, int type) const {
  const auto bucket = index_.find(TypeKeyHash::combine(id, type));
  if (bucket == index_.end()) return nullptr;
  for (std::size_t position : bucket->second) {
    const CatalogueEntry& entry = entries_[position];
    if (entry.Type == type && entry.Id == id) return &entry.eName;
  }
  return nullptr;
}

void Catalogue::define(std::string id, int type, std::string name) {
  auto& bucket = index_[TypeKeyHash::combine(id, type)];
  for (std::size_t position : bucket) {
    CatalogueEntry& entry = entries_[position];
    if (entry.Type == type && entry.Id == id) {
      entry.eName = std::move(name);
      return;
    }
  }
  bucket.push_back(entries_.size());
  entries_.push_back({std::move(id), type, std::move(name)});
}

void Catalogue::clear() {
  entries_.clear();
  index_.clear();
}

std::vector<std::string> Catalogue::choices(int kind) const {
  std::vector<std::string> items;
  for (const CatalogueEntry& entry : entries_)
    if (entry.Type == kind) items.push_back(entry.Id + ":" + entry.eName);
  std::sort(items.begin(), items.end());
  return items;
}

}  // namespace visual
