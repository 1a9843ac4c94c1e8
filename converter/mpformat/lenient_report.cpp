#include "converter/mpformat/lenient_report.h"

#include <array>
#include <utility>

namespace zarvex {
namespace {

// A map with thousands of different keys still sums up in a line that a person reads.
constexpr size_t kNamesShown = 10;

std::string indexKey(LenientReport::Item item, std::string_view name) {
  std::string key(1, static_cast<char>(item));
  key.append(name);
  return key;
}

struct Group {
  LenientReport::Item item;
  const char* label;
};

constexpr std::array kSkipped = {
    Group{LenientReport::Item::HeaderKey, "header keys"},
    Group{LenientReport::Item::HeaderValue, "header values"},
    Group{LenientReport::Item::Section, "sections"},
    Group{LenientReport::Item::CommentLine, "comment lines"},
};
constexpr std::array kKept = {
    Group{LenientReport::Item::ObjectKey, "object keys"},
};

// "label name count, name count" for the entries of one item; empty when there are none.
std::string groupText(const std::vector<LenientReport::Entry>& entries, const Group& group) {
  std::string text;
  size_t shown = 0;
  size_t hidden = 0;
  for (const LenientReport::Entry& entry : entries) {
    if (entry.item != group.item) continue;
    if (shown == kNamesShown) {
      ++hidden;
      continue;
    }
    text += shown == 0 ? std::string(group.label) + " " : std::string(", ");
    if (!entry.name.empty()) text += entry.name + " ";
    text += std::to_string(entry.count);
    ++shown;
  }
  if (hidden > 0) text += ", and " + std::to_string(hidden) + " more";
  return text;
}

template <size_t N>
std::string lineOf(const char* title, const std::array<Group, N>& groups,
                   const std::vector<LenientReport::Entry>& entries) {
  std::string line;
  for (const Group& group : groups) {
    const std::string text = groupText(entries, group);
    if (text.empty()) continue;
    line += line.empty() ? std::string(title) + ": " : std::string("; ");
    line += text;
  }
  return line;
}

}  // namespace

void LenientReport::add(Item item, std::string_view name, int32_t line) {
  const auto [at, inserted] = index_.try_emplace(indexKey(item, name), entries_.size());
  if (inserted)
    entries_.push_back(Entry{item, std::string(name), 1, line});
  else
    ++entries_[at->second].count;
}

void LenientReport::merge(const LenientReport& later, int32_t lineOffset) {
  for (const Entry& entry : later.entries_) {
    const auto [at, inserted] =
        index_.try_emplace(indexKey(entry.item, entry.name), entries_.size());
    if (inserted) {
      entries_.push_back(entry);
      entries_.back().firstLine += lineOffset;
    } else
      entries_[at->second].count += entry.count;
  }
}

std::vector<std::string> LenientReport::summaryLines() const {
  std::vector<std::string> lines;
  for (std::string line : {lineOf("Skipped", kSkipped, entries_), lineOf("Kept", kKept, entries_)})
    if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace zarvex
