#include "gui/io/generator.h"

#include <string_view>

#include "gui/io/code_page.h"
#include "gui/io/line_reader.h"
#include "gui/io/replacing_file.h"
#include "gui/io/text_util.h"
#include "gui/model/names.h"

namespace visual {

namespace {

// Only the key decides, so that Name=Levelton or Copyright=Zoomable data stay in the header.
bool isLevelLine(std::string_view line) {
  const std::string_view key = trimmed(line.substr(0, line.find('=')));
  return startsWithNoCase(key, "level") || startsWithNoCase(key, "zoom");
}

bool isHeaderEnd(std::string_view line) {
  const std::string_view t = trimmed(line);
  return t.size() == 12 && startsWithNoCase(t, "[end-img id]");
}

class ScriptWriter {
 public:
  explicit ScriptWriter(const MapInfo& document) : lastLevel_(document.NewLevels - 1) {}

  void line(int depth, std::string_view text) {
    out_.append(static_cast<std::size_t>(depth < 0 ? 0 : depth) * 2, ' ');
    out_.append(text);
    out_.push_back('\n');
  }

  void layers(int depth, int from, int to) {
    line(depth, "  layer_min=" + std::to_string(from < 0 ? 0 : from) + ";");
    line(depth, "  layer_max=" + std::to_string(to < 0 ? lastLevel_ : to) + ";");
  }

  void kind(int depth, int kind) {
    const std::string name = kindScriptName(kind);
    if (!name.empty()) line(depth, "  kind=" + name + ";");
  }

  void objectType(int depth, const std::string& choice) {
    const std::string code = choice.substr(0, choice.find(':'));
    if (trimmed(code).empty()) return;
    line(depth, "  type=" + code + ";  // " + choice);
  }

  void rule(int& s, const RuleRecord& row) {
    ++s;
    line(s, "case kind=" + kindScriptName(row.Type) + "  // " + row.eName);
    line(s, " {");
    line(s, "  export=true;");
    if (row.chVisibleAlways)
      line(s, "  layer_max=" + std::to_string(lastLevel_) + ";");
    else
      layers(s, row.cbVisibleFrom, row.cbVisibleTo);
    if (row.chNameChange) {
      const bool onlyEmpty = row.chNameChangeEmpty;
      if (onlyEmpty) {
        line(s, "  case label=\"\"");
        line(s, "   {");
        ++s;
      }
      line(s, "  label=\"" + escapedForScript(row.eNameChange) + "\";");
      if (onlyEmpty) {
        --s;
        line(s, "   }");
      }
    }
    if (row.chNameAdd) line(s, "  label+=\"" + escapedForScript(row.eNameAdd) + "\";");
    if (!row.eAdd.empty()) line(s, row.eAdd);
    if (row.chTypeChange) kind(s, row.cbTypeChange);
    if (row.chObjectChange) objectType(s, row.cbObjectChange);
    for (const RuleCondition& c : row.cond) {
      if (!c.chCond) continue;
      const std::string measure = measureScriptName(c.cbParam);
      const std::string comparison = comparisonText(c.cbCond);
      if (measure.empty() || comparison.empty()) continue;
      line(s, "  case " + measure + comparison + c.eValue);
      line(s, "   {");
      ++s;
      layers(s, c.cbVisibleFrom, c.cbVisibleTo);
      if (c.cbTypeChange >= 0) kind(s, c.cbTypeChange);
      if (!c.cbObjectChange.empty()) objectType(s, c.cbObjectChange);
      --s;
      line(s, "   }");
    }
    line(s, " }");
    --s;
  }

  std::string take() { return std::move(out_); }

 private:
  int lastLevel_;
  std::string out_;
};

}  // namespace

std::string escapedForScript(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

bool writeHeader(const MapInfo& document, ReplacingFile& header, std::string* error) {
  LineReader map;
  if (!map.open(document.FileName)) {
    if (error) *error = map.error();
    return false;
  }
  std::string_view line;
  while (map.next(line)) {
    if (isHeaderEnd(line)) {
      header.writeLine("Levels=" + std::to_string(document.NewLevels));
      for (int i = 0; i < document.NewLevels && i < kLevelSlots; ++i)
        header.writeLine("Level" + std::to_string(i) + "=" +
                         std::to_string(document.NewLevel[static_cast<std::size_t>(i)]));
      for (int i = 0; i < document.NewLevels && i < kLevelSlots; ++i)
        header.writeLine("Zoom" + std::to_string(i) + "=" +
                         std::to_string(document.NewZoom[static_cast<std::size_t>(i)]));
      header.writeLine("[END-IMG ID]");
      break;
    }
    if (!isLevelLine(line)) header.writeLine(line);
  }
  if (!map.error().empty()) {
    if (error) *error = map.error();
    return false;
  }
  return true;
}

std::string scriptText(const MapInfo& document, const RuleTable& rules,
                       const std::function<void(int)>& progress) {
  ScriptWriter w(document);
  w.line(0, "file \"" + escapedForScript(document.FileName) + "\"");
  w.line(0, " {");
  w.line(1, "export=false;");
  int s = 0;
  std::string lastId;
  bool opened = false;
  int position = 0;
  for (const RuleRecord& row : rules.rows()) {
    if (progress) progress(position);
    ++position;
    // Only a damaged settings file gives an empty code or an unknown kind, and a case line
    // without one would stop the converter at this script.
    if (row.Id.empty() || kindScriptName(row.Type).empty()) continue;
    if (!opened || row.Id != lastId) {
      if (s > 0) w.line(s, " }");
      s = 1;
      w.line(1, "case type=" + row.Id);
      w.line(1, " {");
      lastId = row.Id;
      opened = true;
    }
    w.rule(s, row);
  }
  if (s > 0) w.line(s, " }");
  for (const char* kind :
       {"Restriction", "Countries", "Regions", "Districts", "Cities", "ZipCodes"})
    w.line(1, std::string("case kind=") + kind + " { export=true; }");
  w.line(0, " }");
  return w.take();
}

std::vector<CommandWord> converterCommand(const std::string& converter, const std::string& header,
                                          const std::string& script, const std::string& output,
                                          bool lenient) {
  std::vector<CommandWord> command = {{converter}, {"-h", false}, {header}, {script}, {output}};
  if (lenient) command.insert(command.begin() + 1, {"--lenient", false});
  return command;
}

std::vector<std::string> argumentVector(const std::vector<CommandWord>& command) {
  std::vector<std::string> args;
  for (const CommandWord& word : command) args.push_back(word.text);
  return args;
}

std::string batchText(const std::vector<CommandWord>& command) {
  std::string line;
  for (const CommandWord& word : command) {
    if (!line.empty()) line += ' ';
    line += word.isPath ? '"' + word.text + '"' : word.text;
  }
  return toConsole(line) + "\npause\n";
}

}  // namespace visual
