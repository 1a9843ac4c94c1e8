#include "gui/io/map_scan.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "gui/io/file_system.h"
#include "gui/io/line_reader.h"
#include "gui/io/text_util.h"

namespace visual {

namespace {

bool startsSection(std::string_view line) {
  const std::string_view t = trimmedLeft(line);
  return !t.empty() && t.front() == '[';
}

// The value after `key` when the line holds it anywhere, as the line was read.
std::optional<std::string_view> valueAfter(std::string_view line, std::string_view key) {
  const std::size_t at = findNoCase(line, key);
  if (at == std::string_view::npos) return std::nullopt;
  return line.substr(at + key.size());
}

// "Level<d>=<bits>" or "Zoom<d>=<n>": the index is the number right after the word, so that
// Level10 is index 10 rather than 1; indexes beyond the tables are ignored.
void readLevelLine(std::string_view line, std::string_view word,
                   std::array<int, kLevelSlots>& table) {
  const std::size_t at = findNoCase(line, word);
  if (at == std::string_view::npos) return;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || equals < at + word.size()) return;
  const auto index = parseInteger(line.substr(at + word.size(), equals - at - word.size()));
  const auto value = parseInteger(line.substr(equals + 1));
  if (!index || !value || *index < 0 || *index >= kLevelSlots) return;
  table[static_cast<std::size_t>(*index)] = *value;
}

class Scanner {
 public:
  Scanner(MapInfo& document, RuleTable& rules, const Catalogue& catalogue)
      : document_(document), rules_(rules), catalogue_(catalogue) {}

  void readHeader(LineReader& lines) {
    std::string_view line;
    while (lines.next(line)) {
      if (isBlankOrComment(line)) continue;
      if (auto v = valueAfter(line, "id=")) document_.ID = std::string(*v);
      if (auto v = valueAfter(line, "name=")) document_.Name = std::string(*v);
      if (auto v = valueAfter(line, "typeset=")) document_.TypeSet = std::string(*v);
      if (auto v = valueAfter(line, "copyright=")) document_.CopyRight = std::string(*v);
      if (auto v = valueAfter(line, "levels=")) {
        const int levels = parseInteger(*v).value_or(0);
        document_.Levels = levels < 0 ? 0 : (levels > kLevelSlots ? kLevelSlots : levels);
        continue;
      }
      readLevelLine(line, "level", document_.Level);
      readLevelLine(line, "zoom", document_.Zoom);
      if (startsSection(line)) return;
    }
  }

  void readObject(LineReader& lines, int kind) {
    std::string_view line;
    std::optional<std::string_view> code;
    std::string kept;
    while (lines.next(line)) {
      if (isBlankOrComment(line)) continue;
      if (startsSection(line)) break;
      if (const auto at = findTypeKey(line); at != std::string_view::npos) {
        kept.assign(line.substr(at + 5));
        code = kept;
      }
    }
    if (!code) return;
    count(padTypeCode(std::string(trimmed(*code)), kind), kind);
  }

 private:
  // "type=" anywhere in the line; searched from each '=' since most lines hold only one.
  static std::size_t findTypeKey(std::string_view line) {
    std::size_t from = 0;
    for (;;) {
      const std::size_t equals = line.find('=', from);
      if (equals == std::string_view::npos) return std::string_view::npos;
      if (equals >= 4 && startsWithNoCase(line.substr(equals - 4), "type")) return equals - 4;
      from = equals + 1;
    }
  }

  void count(const std::string& code, int kind) {
    if (RuleRecord* row = rules_.find(code, kind)) {
      ++row->Count;
      row->Used = true;
      return;
    }
    RuleRecord row;
    row.Id = code;
    row.Type = kind;
    if (const std::string* name = catalogue_.name(code, kind)) row.eName = *name;
    row.Count = 1;
    row.New = true;
    row.Used = true;
    rules_.put(std::move(row));
  }

  MapInfo& document_;
  RuleTable& rules_;
  const Catalogue& catalogue_;
};

// Sections compared in lower case; RGN10/20/40/80 are the converter's other names of points,
// polylines and polygons.
int sectionKind(std::string_view line) {
  if (line.size() < 5 || line.front() != '[') return -1;
  const std::string lower = asciiLower(line);
  if (lower == "[polyline]" || lower == "[rgn40]") return 0;
  if (lower == "[polygon]" || lower == "[rgn80]") return 1;
  if (lower == "[poi]" || lower == "[rgn10]" || lower == "[rgn20]") return 2;
  return -1;
}

}  // namespace

std::string padTypeCode(std::string code, int kind) {
  const std::size_t width = kind == 2 ? 6 : 4;
  if (code.size() < width && startsWithNoCase(code, "0x")) code.insert(2, width - code.size(), '0');
  return code;
}

bool scanMap(const std::string& path, MapInfo& document, RuleTable& rules,
             const Catalogue& catalogue, ScanProgress progress, std::string* error) {
  LineReader lines;
  if (!lines.open(path)) {
    if (error) *error = lines.error();
    return false;
  }
  document.FileName = path;
  const std::uint64_t total = (fileSize(path) / 128) * 5;
  const std::int64_t span = progress.max - progress.pos + 1;
  const int start = progress.pos;
  std::uint64_t counted = 0;
  Scanner scanner(document, rules, catalogue);
  std::string_view line;
  while (lines.next(line)) {
    if (++counted % 100 == 0 && total > 0 && progress.changed) {
      std::int64_t pos =
          static_cast<std::int64_t>(static_cast<double>(counted) / static_cast<double>(total) *
                                    static_cast<double>(span)) +
          start;
      if (pos > progress.max) pos = progress.max;
      progress.changed(static_cast<int>(pos));
    }
    if (line.empty() || line.front() != '[') continue;
    if (line.size() == 8 && asciiLower(line) == "[img id]") {
      document.FileName = path;
      scanner.readHeader(lines);
      continue;
    }
    if (const int kind = sectionKind(line); kind >= 0) scanner.readObject(lines, kind);
  }
  if (!lines.error().empty()) {
    if (error) *error = lines.error();
    return false;
  }
  return true;
}

}  // namespace visual
