#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gui/model/rule_record.h"
#include "gui/model/type_key.h"

namespace visual {

/// The rule table `md`: rows in table order, one per (Id, Type), with a hashed look-up.
class RuleTable {
 public:
  /// Rows in table order.
  const std::vector<RuleRecord>& rows() const { return rows_; }
  std::size_t size() const { return rows_.size(); }
  /// The row of (id, type), or nullptr.
  RuleRecord* find(std::string_view id, int type);
  const RuleRecord* find(std::string_view id, int type) const;
  /// Appends `row`, or replaces the row of the same key where it stands; returns the stored row.
  RuleRecord& put(RuleRecord row);
  void clear();
  /// Sets Count to 0 and Used to false in every row: a scan counts the map it reads afresh.
  void forgetCounts();
  /// Sorts by Id (byte order, case-sensitive), then by Type.
  void sortByIdAndType();

 private:
  void reindex();
  std::size_t* indexOf(std::string_view id, int type);

  std::vector<RuleRecord> rows_;
  std::unordered_map<std::size_t, std::vector<std::size_t>> index_;
};

}  // namespace visual
