#include "gui/io/settings_file.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "gui/io/text_util.h"

namespace visual {

namespace {

constexpr const char* kMissing = "\x01";

class Writer {
 public:
  Writer(ProfileFile& profile, std::string section)
      : profile_(profile), section_(std::move(section)) {}
  void text(const std::string& key, const std::string& value) {
    profile_.set(section_, key, quotedForProfile(value));
  }
  void number(const std::string& key, int value) {
    profile_.set(section_, key, std::to_string(value));
  }
  void flag(const std::string& key, bool value) { profile_.set(section_, key, value ? "1" : "0"); }

 private:
  ProfileFile& profile_;
  std::string section_;
};

class Reader {
 public:
  Reader(const ProfileFile& profile, std::string section)
      : profile_(profile), section_(std::move(section)) {}
  std::string text(const std::string& key, const std::string& fallback = "") const {
    const std::string value = profile_.get(section_, key, kMissing);
    return value == kMissing ? fallback : value;
  }
  int number(const std::string& key, int fallback) const {
    const std::string value = profile_.get(section_, key, kMissing);
    if (value == kMissing) return fallback;
    return parseInteger(value).value_or(fallback);
  }
  // Level indexes beyond the 11-entry tables read back as none.
  int levelIndex(const std::string& key) const {
    const int value = number(key, -1);
    return value > kLevelSlots - 1 ? -1 : value;
  }
  bool flag(const std::string& key, bool fallback) const {
    const std::string value = profile_.get(section_, key, kMissing);
    if (value == kMissing) return fallback;
    const auto parsed = parseInteger(value);
    return parsed ? *parsed != 0 : fallback;
  }

 private:
  const ProfileFile& profile_;
  std::string section_;
};

bool allOf(std::string_view text, bool (*accepted)(char)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), accepted);
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isTypeCode(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return allOf(text.substr(2), isHexDigit);
  return allOf(text, isDigit);
}

// A number as the script reads one: decimal, perhaps negative, or hexadecimal after "0x".
bool isScriptNumber(std::string_view text) {
  if (text.size() > 2 && text.substr(0, 2) == "0x") return allOf(text.substr(2), isHexDigit);
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return allOf(text, isDigit);
}

// An object type choice "code:name"; the generator writes only the code outside the comment.
bool isTypeChoice(const std::string& choice) {
  const std::string_view code = trimmed(std::string_view(choice).substr(0, choice.find(':')));
  return code.empty() || isTypeCode(code);
}

int clampLevels(int levels) {
  if (levels < 0) return 0;
  return levels > kLevelSlots ? kLevelSlots : levels;
}

}  // namespace

std::optional<std::string> recordFault(const RuleRecord& row) {
  const auto typeFault = [](const std::string& key, const std::string& value) {
    return key + "=" + value + ": ожидался код типа, такой как 0x2f06, или десятичное число";
  };
  // An empty code is a damaged record that the generator leaves out.
  if (!row.Id.empty() && !isTypeCode(row.Id)) return typeFault("ID", row.Id);
  if (!isTypeChoice(row.cbObjectChange)) return typeFault("cbObjectChange", row.cbObjectChange);
  for (std::size_t n = 0; n < row.cond.size(); ++n) {
    const RuleCondition& c = row.cond[n];
    const std::string k = std::to_string(n + 1);
    if (!c.eValue.empty() && !isScriptNumber(trimmed(c.eValue)))
      return "eValue" + k + "=" + c.eValue + ": ожидалось число";
    if (!isTypeChoice(c.cbObjectChange)) return typeFault("cbObjectChange" + k, c.cbObjectChange);
  }
  return std::nullopt;
}

std::string quotedForProfile(const std::string& value) {
  if (value.empty()) return value;
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (blank(value.front()) || blank(value.back()) || quoted) return '"' + value + '"';
  return value;
}

int writeSettings(const MapInfo& document, const RuleTable& rules, ProfileFile& profile,
                  const std::function<void(int)>& progress) {
  Writer header(profile, "Header");
  header.text("ID", document.ID);
  header.text("eName", document.Name);
  header.text("TypeSet", document.TypeSet);
  header.text("eCopyRight", document.CopyRight);
  header.text("FileName", document.FileName);
  const int levels = clampLevels(document.NewLevels);
  header.number("NewLevels", levels);
  for (int i = 0; i < levels; ++i) {
    header.number("NewLevel" + std::to_string(i), document.NewLevel[static_cast<std::size_t>(i)]);
    header.number("NewZoom" + std::to_string(i), document.NewZoom[static_cast<std::size_t>(i)]);
  }
  int written = 0;
  int position = 0;
  for (const RuleRecord& row : rules.rows()) {
    if (progress) progress(++position);
    if (row.New) continue;
    Writer record(profile, "Record" + std::to_string(++written));
    record.text("ID", row.Id);
    record.number("Type", row.Type);
    record.text("eName", row.eName);
    record.flag("chVisibleAlways", row.chVisibleAlways);
    record.number("cbVisibleFrom", row.cbVisibleFrom);
    record.number("cbVisibleTo", row.cbVisibleTo);
    record.flag("chNameChange", row.chNameChange);
    record.text("eNameChange", row.eNameChange);
    record.flag("chNameChangeEmpty", row.chNameChangeEmpty);
    record.flag("chNameAdd", row.chNameAdd);
    record.text("eNameAdd", row.eNameAdd);
    record.flag("chTypeChange", row.chTypeChange);
    record.number("cbTypeChange", row.cbTypeChange);
    record.text("eAdd", row.eAdd);
    record.flag("chObjectChange", row.chObjectChange);
    record.text("cbObjectChange", row.cbObjectChange);
    for (int n = 1; n <= 3; ++n) {
      const RuleCondition& c = row.cond[static_cast<std::size_t>(n - 1)];
      const std::string k = std::to_string(n);
      record.flag("chCond" + k, c.chCond);
      record.number("cbParam" + k, c.cbParam);
      record.number("cbCond" + k, c.cbCond);
      record.text("eValue" + k, c.eValue);
      record.number("cbVisibleFrom" + k, c.cbVisibleFrom);
      record.number("cbVisibleTo" + k, c.cbVisibleTo);
      record.number("cbTypeChange" + k, c.cbTypeChange);
      record.text("cbObjectChange" + k, c.cbObjectChange);
    }
  }
  Writer(profile, "AllRec").number("RecCount", written);
  return written;
}

void readSettingsHeader(const ProfileFile& profile, MapInfo& document) {
  const Reader header(profile, "Header");
  document.ID = header.text("ID");
  document.Name = header.text("eName");
  document.TypeSet = header.text("TypeSet", kDefaultTypeSet);
  document.CopyRight = header.text("eCopyRight");
  document.FileName = header.text("FileName");
  document.NewLevels = clampLevels(header.number("NewLevels", 0));
  for (int i = 0; i < kLevelSlots; ++i) {
    const bool stored = i < document.NewLevels;
    const auto slot = static_cast<std::size_t>(i);
    document.NewLevel[slot] = stored ? header.number("NewLevel" + std::to_string(i), 0) : 0;
    document.NewZoom[slot] = stored ? header.number("NewZoom" + std::to_string(i), 0) : 0;
  }
}

int readRecordCount(const ProfileFile& profile) {
  const int count = Reader(profile, "AllRec").number("RecCount", 0);
  // Load's progress bar counts up to twice this, and each record is read in turn.
  if (count > kMaxRecordCount) return kMaxRecordCount;
  return count < 0 ? 0 : count;
}

RuleRecord readRecord(const ProfileFile& profile, int n) {
  const Reader record(profile, "Record" + std::to_string(n));
  RuleRecord row;
  row.Id = record.text("ID");
  row.Type = record.number("Type", 0);
  row.eName = record.text("eName");
  row.chVisibleAlways = record.flag("chVisibleAlways", true);
  row.cbVisibleFrom = record.levelIndex("cbVisibleFrom");
  row.cbVisibleTo = record.levelIndex("cbVisibleTo");
  row.chNameChange = record.flag("chNameChange", false);
  row.eNameChange = record.text("eNameChange");
  row.chNameChangeEmpty = record.flag("chNameChangeEmpty", false);
  row.chNameAdd = record.flag("chNameAdd", false);
  row.eNameAdd = record.text("eNameAdd");
  row.chTypeChange = record.flag("chTypeChange", false);
  row.cbTypeChange = record.number("cbTypeChange", -1);
  row.eAdd = record.text("eAdd");
  row.chObjectChange = record.flag("chObjectChange", false);
  row.cbObjectChange = record.text("cbObjectChange");
  for (int i = 1; i <= 3; ++i) {
    RuleCondition& c = row.cond[static_cast<std::size_t>(i - 1)];
    const std::string k = std::to_string(i);
    c.chCond = record.flag("chCond" + k, false);
    c.cbParam = record.number("cbParam" + k, -1);
    c.cbCond = record.number("cbCond" + k, -1);
    c.eValue = record.text("eValue" + k);
    c.cbVisibleFrom = record.levelIndex("cbVisibleFrom" + k);
    c.cbVisibleTo = record.levelIndex("cbVisibleTo" + k);
    c.cbTypeChange = record.number("cbTypeChange" + k, -1);
    c.cbObjectChange = record.text("cbObjectChange" + k);
  }
  row.Count = 0;
  row.New = false;
  row.Used = false;
  return row;
}

}  // namespace visual
