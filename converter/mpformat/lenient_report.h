#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zarvex {

/// What lenient reading did that the strict reader would have refused, counted by name.
/// Entries keep the order in which they were first met; reports of consecutive parts of a map
/// merge into the report of the whole.
class LenientReport {
 public:
  enum class Item : uint8_t {
    /// A header key the strict reader does not know; skipped.
    HeaderKey,
    /// A known header key with a value or level index the strict reader refuses; skipped.
    HeaderValue,
    /// A section of a kind the reader does not know, by its opening line; skipped.
    Section,
    /// A comment line inside a section; skipped.
    CommentLine,
    /// An object key the strict reader does not know; kept and written back verbatim.
    ObjectKey,
    /// The older `Levels=` of an object, read as EndLevel.
    LevelsAsEndLevel,
    /// A closing line other than the known ones, such as [END-RGN40]; accepted.
    SectionEnd,
  };

  struct Entry {
    Item item;
    /// As the map spells it; empty for comment lines.
    std::string name;
    uint64_t count;
    /// 1-based line on which it was first met.
    int32_t firstLine;
  };

  /// Counts one more `name` of `item`, met on the 1-based `line`.
  void add(Item item, std::string_view name, int32_t line);
  /// Adds the counts of a report of the part of the map that follows this one, whose lines
  /// count from `lineOffset` line breaks into the map.
  void merge(const LenientReport& later, int32_t lineOffset = 0);

  bool empty() const { return entries_.empty(); }
  /// Every entry, in the order first met.
  const std::vector<Entry>& entries() const { return entries_; }
  /// At most two lines, without line ends: what was skipped, then what was kept. Nothing for
  /// what was read in place of a known key or accepted as a closing line, since nothing of the
  /// map is lost by them.
  std::vector<std::string> summaryLines() const;

 private:
  std::vector<Entry> entries_;
  // The item's code followed by the name, to the entry's position.
  std::unordered_map<std::string, size_t> index_;
};

}  // namespace zarvex
