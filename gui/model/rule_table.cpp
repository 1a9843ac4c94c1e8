#include "gui/model/rule_table.h"

#include <algorithm>
#include <utility>

namespace visual {

// Buckets by hash hold row positions, so that a look-up needs no key string to be built: the
// map scan looks up one row per object.
std::size_t* RuleTable::indexOf(std::string_view id, int type) {
  const auto bucket = index_.find(TypeKeyHash::combine(id, type));
  if (bucket == index_.end()) return nullptr;
  for (std::size_t& position : bucket->second) {
    const RuleRecord& row = rows_[position];
    if (row.Type == type && row.Id == id) return &position;
  }
  return nullptr;
}

RuleRecord* RuleTable::find(std::string_view id, int type) {
  std::size_t* position = indexOf(id, type);
  return position ? &rows_[*position] : nullptr;
}

const RuleRecord* RuleTable::find(std::string_view id, int type) const {
  return const_cast<RuleTable*>(this)->find(id, type);
}

RuleRecord& RuleTable::put(RuleRecord row) {
  if (RuleRecord* existing = find(row.Id, row.Type)) {
    *existing = std::move(row);
    return *existing;
  }
  index_[TypeKeyHash::combine(row.Id, row.Type)].push_back(rows_.size());
  rows_.push_back(std::move(row));
  return rows_.back();
}

void RuleTable::clear() {
  rows_.clear();
  index_.clear();
}

void RuleTable::forgetCounts() {
  for (RuleRecord& row : rows_) {
    row.Count = 0;
    row.Used = false;
  }
}

void RuleTable::sortByIdAndType() {
  std::stable_sort(rows_.begin(), rows_.end(), [](const RuleRecord& a, const RuleRecord& b) {
    if (a.Id != b.Id) return a.Id < b.Id;
    return a.Type < b.Type;
  });
  reindex();
}

void RuleTable::reindex() {
  index_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i)
    index_[TypeKeyHash::combine(rows_[i].Id, rows_[i].Type)].push_back(i);
}

}  // namespace visual
