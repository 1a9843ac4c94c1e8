#pragma once

#include <array>
#include <string>
#include <vector>

namespace visual {

/// Exactly what the page "Objects" shows: the list entries and every control's value.
/// List selections are list positions, -1 for none. The list entries are the program's own
/// texts in UTF-8; the rule's texts are bytes in the document code page.
struct EditorState {
  struct Condition {
    bool chCond = false;
    int cbParam = -1;
    int cbCond = 0;
    std::string eValue;
    int cbVisibleFrom = -1;
    int cbVisibleTo = -1;
    int cbTypeChange = -1;
    std::string cbObjectChange;
    bool operator==(const Condition&) const = default;
  };

  /// Entries of all eight level lists (a position is a new-level index).
  std::vector<std::string> levelItems;
  /// Entries of the four kind lists and the kind of each position.
  std::vector<std::string> kindItems;
  std::vector<int> kindMap;
  /// Entries of the three measure lists and the measure of each position.
  std::vector<std::string> paramItems;
  std::vector<int> paramMap;
  /// False for points: the condition check boxes are disabled.
  bool conditionsEnabled = true;

  bool rbVisibleAll = true;
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
  std::array<Condition, 3> cond;
  bool operator==(const EditorState&) const = default;
};

}  // namespace visual
