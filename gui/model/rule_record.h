#pragma once

#include <array>
#include <string>

namespace visual {

/// One of the three conditional variants of a rule.
struct RuleCondition {
  bool chCond = false;
  int cbParam = 0;  // measure: 0 area, 1 length, 2 height, 3 width, -1 none
  int cbCond = 0;   // comparison: 0 "<", 1 "<=", 2 "=", 3 ">=", 4 ">"
  std::string eValue;
  int cbVisibleFrom = -1;
  int cbVisibleTo = -1;
  int cbTypeChange = -1;
  std::string cbObjectChange;
  bool operator==(const RuleCondition&) const = default;
};

/// One row of the rule table: what the converter does with the objects of one type and kind.
/// The defaults are those of a row created by the map scan (apart from Count, New and Used).
/// Texts are bytes in the document code page.
struct RuleRecord {
  std::string Id;  // type code as padded by the scan
  int Type = 0;    // kind: 0 polyline, 1 polygon, 2 point
  std::string eName;
  int Count = 0;
  bool New = false;
  bool Used = false;
  bool chVisibleAlways = true;
  int cbVisibleFrom = -1;
  int cbVisibleTo = -1;
  bool chNameChange = false;
  std::string eNameChange;
  bool chNameChangeEmpty = false;
  bool chNameAdd = false;
  std::string eNameAdd;
  bool chTypeChange = false;
  int cbTypeChange = -1;
  bool chObjectChange = false;
  std::string cbObjectChange;
  std::string eAdd;
  std::array<RuleCondition, 3> cond;  // cond[n - 1] holds chCond<n> ... cbObjectChange<n>
  bool operator==(const RuleRecord&) const = default;
};

}  // namespace visual
