// Runs the built zarvex binary on faulty scripts and maps and checks what the user sees of each
// error: the token dump on standard output, the message and line on standard error, the exit
// code, and what is left on disk. The expected line numbers are worked out from the tokenizer's
// count of line breaks, so a row whose error is raised one token too early or too late fails.

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "converter/driver/binary_test_support.h"

namespace {

namespace fs = std::filesystem;
using zarvextest::fromPlatformText;
using zarvextest::fullDevice;
using zarvextest::readFile;
using zarvextest::readOutput;
using zarvextest::RunResult;
using zarvextest::runZarvex;
using zarvextest::ScratchDir;
using zarvextest::writeFile;

std::map<std::string, std::string> folderContents(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(root))
    if (!item.is_symlink() && item.is_regular_file())
      files[fs::relative(item.path(), root).generic_string()] = readFile(item.path()).value_or("");
  return files;
}

const char* const kOutput = "out.mp";
const char* const kScript = "rules.cfg";
const char* const kMap = "map.mp";

// The template exercises both markers, so that the part kept after a map error is seen to be
// the expanded template and nothing else.
const char* const kTemplate = "; generated\nID=%\nName=$\n";
const char* const kTemplateOut = "; generated\nID=11111111\nName=M\n\n\n";

struct Row {
  std::string name;
  std::vector<std::pair<std::string, std::string>> files;  // written before the run
  std::vector<std::string> args;
  std::string out;  // standard output: the token dump
  std::string err;
  int exitCode;
  std::optional<std::string> output;  // content of out.mp after the run; none: must not exist
  // About something the strict reader does not know rather than malformed text: lenient reading
  // skips or keeps it.
  bool unknown = false;
  std::vector<std::pair<std::string, std::string>> links = {};  // name, target
};

Row unknown(Row row) {
  row.unknown = true;
  return row;
}

// A script error: nothing but the dump and the message, and no output file.
Row scriptRow(std::string name, std::string script, std::string dump, std::string message) {
  return Row{std::move(name),
             {{kScript, std::move(script)}, {"header.txt", kTemplate}},
             {kScript, kOutput},
             std::move(dump),
             std::move(message) + "\n",
             1,
             std::nullopt};
}

// A map error in the only map: the output keeps the header template and nothing of the map.
Row mapRow(std::string name, std::string map, std::string dump, int line, std::string message) {
  return Row{
      std::move(name),
      {{kScript, "file \"map.mp\" { }\n"}, {kMap, std::move(map)}, {"header.txt", kTemplate}},
      {kScript, kOutput},
      std::move(dump),
      std::string("Processing: map.mp\nError in file: 'map.mp'\n") + std::to_string(line) + ": " +
          message + "\n",
      1,
      kTemplateOut};
}

std::vector<Row> headerRows() {
  return {
      mapRow("HeaderNoBracket", "; exported map\r\n\r\nIMG ID]\r\n", "3: word: img\n", 2,
             "'[' expected"),
      mapRow("HeaderEmptyFile", "", "eof\n", 0, "'[' expected"),
      mapRow("HeaderNotImg", "[\nMAP ID]\n", "2: word: map\n", 1, "'img' expected"),
      mapRow("HeaderNotId", "\n[IMG NAME]\n", "2: word: name\n", 1, "'id' expected"),
      mapRow("HeaderNotClosed", "\n\n[IMG ID)\n", "3: char: )\n", 2, "']' expected"),
      mapRow("HeaderEndNotEndImg", "[IMG ID]\nName=x\n[END ID]\n", "3: word: end\n", 2,
             "'end-img' expected"),
      mapRow("HeaderEndNotId", "[IMG ID]\nID=1\n[END-IMG NAME]\n", "3: word: name\n", 2,
             "'id' expected"),
      mapRow("HeaderEndNotClosed", "[IMG ID]\r\nID=1\r\n[END-IMG ID>\r\n", "3: char: >\n", 2,
             "']' expected"),
      mapRow("HeaderEndAtEndOfFile", "[IMG ID]\nID=1\n[END-IMG ID\n", "eof\n", 3, "']' expected"),
      mapRow("HeaderKeyNumber", "[IMG ID]\nID=1\n123=4\n", "3: num: 123\n", 2, "word expected"),
      mapRow("HeaderKeyFloat", "[IMG ID]\nID=1\n1.5=2\n", "3: float: 1.500000\n", 2,
             "word expected"),
      mapRow("HeaderNeverClosed", "[IMG ID]\nName=x\n", "eof\n", 2, "word expected"),
      mapRow("HeaderNoEquals", "[IMG ID]\nID=1\nName:x\n", "3: char: :\n", 2, "'=' expected"),
      mapRow("HeaderNoEqualsWord", "[IMG ID]\r\nID=1\r\nName x\r\n", "3: word: x\n", 2,
             "'=' expected"),
      // Bytes above 0x7f are ordinary characters and reach the dump as they are.
      mapRow("HeaderKeyHighByte", "[IMG ID]\nID=1\n\xC4=1\n", "3: char: \xC4\n", 2,
             "word expected"),
      // From here on the value line has been read with its line end when the key is judged.
      unknown(mapRow("HeaderElevation", "[IMG ID]\r\nID=1\r\nElevation=m\r\n", "4: char: =\n", 3,
                     "Unknown elevation type")),
      unknown(mapRow("HeaderElevationLoneCr", "[IMG ID]\rID=1\rElevation=X\r", "4: char: =\n", 3,
                     "Unknown elevation type")),
      unknown(mapRow("HeaderBoolean", "[IMG ID]\nID=1\nPOIIndex=1\n", "4: char: =\n", 3,
                     "Unknown boolean value")),
      unknown(mapRow("HeaderNumber", "[IMG ID]\nID=1\nCodePage=12a\n", "4: char: =\n", 3,
                     "Invalid number")),
      unknown(mapRow("HeaderNumberOnLastLineWithoutLineEnd", "[IMG ID]\nID=1\nCodePage=12a",
                     "3: char: =\n", 2, "Invalid number")),
      unknown(mapRow("HeaderFloat", "[IMG ID]\nID=1\nTreMargin=0.5x\n", "4: char: =\n", 3,
                     "Invalid float number")),
      unknown(mapRow("HeaderUnknownKey", "[IMG ID]\nID=1\nDaTum=W84\n", "4: char: =\n", 3,
                     "Unknown variable: datum")),
      unknown(mapRow("HeaderUnknownKeyAfterComment", "[IMG ID]\r\n; note\r\nID=1\r\nDatum=W84\r\n",
                     "5: char: =\n", 4, "Unknown variable: datum")),
      unknown(mapRow("HeaderLevelPastTheEnd", "[IMG ID]\nLevels=2\nLevel2=3\n", "4: char: =\n", 3,
                     "Invalid level index")),
      unknown(mapRow("HeaderLevelBeforeLevels", "[IMG ID]\nID=1\nZoom0=3\n", "4: char: =\n", 3,
                     "Invalid level index")),
  };
}

const char* const kSectionMessage =
    "'zipcodes', 'cities', 'regions', 'districts', 'countries', 'polyline', 'polygon', 'poi' or "
    "'restrict' expected";

std::vector<Row> objectRows() {
  // Three lines; the first section starts on line 4.
  const std::string h = "[IMG ID]\nID=1\n[END-IMG ID]\n";
  const std::string hw = "[IMG ID]\r\nID=1\r\n[END-IMG ID]\r\n";
  return {
      mapRow("ObjectKeyBeforeSection", h + "\nType=0x10\n", "5: word: type\n", 4, "'[' expected"),
      mapRow("ObjectKeyAfterComment", hw + "; note\r\nType=0x10\r\n", "5: word: type\n", 4,
             "'[' expected"),
      unknown(
          mapRow("ObjectUnknownSection", h + "[POINT]\n", "4: word: point\n", 3, kSectionMessage)),
      mapRow("ObjectSectionString", h + "\n[\"POI\"]\n", "5: string: POI\n", 4, kSectionMessage),
      mapRow("ObjectSectionNotClosed", h + "[POI\nType=1\n", "5: word: type\n", 4, "']' expected"),
      unknown(mapRow("ObjectCommentInSection", h + "[POI]\n; note\nType=1\n", "5: comment:  note\n",
                     4, "word expected")),
      mapRow("ObjectEndOfFileInSection", h + "[POI]\nType=1\n", "eof\n", 5, "word expected"),
      mapRow("ObjectNoEquals", h + "[POI]\nType 1\n", "5: num: 1\n", 4, "'=' expected"),
      mapRow("ObjectFloatType", h + "[POI]\nType=4.7\n", "5: float: 4.700000\n", 4,
             "Number expected"),
      mapRow("ObjectNegativeFloatEndLevel", h + "[POI]\nEndLevel=-0.5\n", "5: float: -0.500000\n",
             4, "Number expected"),
      mapRow("ObjectEmptyType", hw + "[POI]\r\nType=\r\n[END]\r\n", "6: char: [\n", 5,
             "Number expected"),
      mapRow("ObjectLatitude", h + "[POI]\nData0=(a,2)\n", "5: word: a\n", 4, "Number expected"),
      mapRow("ObjectFloatBoolean", h + "[POI]\nDirIndicator=0.5\n", "5: float: 0.500000\n", 4,
             "Boolean expected"),
      mapRow("ObjectStringBoolean", h + "[POLYLINE]\nCity=\"Y\"\n", "5: string: Y\n", 4,
             "Boolean expected"),
      mapRow("ObjectFoldedBoolean", h + "[POI]\nDirIndicator=T\n", "5: word: t\n", 4,
             "Unknown boolean value"),
      // The first object was read whole, yet nothing of the failing file may be written.
      mapRow("ObjectBooleanInSecondObjectLoneCr",
             h + "[POI]\rType=1\rData0=(1,2)\r[END]\r[POI]\rCity=maybe\r", "9: word: maybe\n", 8,
             "Unknown boolean value"),
      mapRow("ObjectDataLevel", h + "[POI]\nData1x=(1,2)\n", "5: char: =\n", 4, "Invalid number"),
      mapRow("ObjectNoParenthesis", h + "[POI]\nData0=1,2)\n", "5: num: 1\n", 4, "'(' expected"),
      mapRow("ObjectTrailingComma", h + "[POI]\nData0=(1,2),\n[END]\n", "6: char: [\n", 5,
             "'(' expected"),
      mapRow("ObjectNoComma", h + "[POI]\nData0=(1 2)\n", "5: num: 2\n", 4, "',' expected"),
      mapRow("ObjectNoClosingParenthesis", h + "[POI]\nData0=(1,2,3)\n", "5: char: ,\n", 4,
             "')' expected"),
      mapRow("ObjectCoordinatesOnNextLine", hw + "[POLYLINE]\r\nData0=(1,2),\r\n(3,4]\r\n",
             "6: char: ]\n", 5, "')' expected"),
      unknown(mapRow("ObjectEndOfOtherKind", h + "[POI]\nType=1\n[END-RGN10]\n",
                     "6: word: end-rgn10\n", 5, "'end' expected")),
      mapRow("ObjectEndNotClosed", h + "[POI]\nType=1\n[END\n", "eof\n", 6, "']' expected"),
      // Judged before the value is read, unlike a header key.
      unknown(mapRow("ObjectUnknownKey", h + "[POI]\nType=1\nZip=12345\n", "6: char: =\n", 5,
                     "Unknown variable: zip")),
      unknown(mapRow("ObjectUnknownKeyInSecondObject",
                     h + "[POI]\nType=1\nData0=(1,2)\n[END]\n\n; c\n[POI]\nLbl=x\n",
                     "11: char: =\n", 10, "Unknown variable: lbl")),
  };
}

std::string fileBlock(const std::string& body) {
  return "file \"map.mp\" {\n" + body + "}\n";
}

// `count` cases nested inside each other, one per line from line 2 on.
std::string nestedCases(int count) {
  std::string body;
  for (int i = 0; i < count; ++i) body += "case true {\n";
  body += "label = \"deep\";\n";
  for (int i = 0; i < count; ++i) body += "}\n";
  return fileBlock(body);
}

// A run of `count` negations, one per line from line 3 on.
std::string negations(int count) {
  std::string body = "export =\n";
  for (int i = 0; i < count; ++i) body += "!\n";
  return fileBlock(body + "true;\n");
}

std::vector<Row> scriptRows() {
  return {
      scriptRow("ScriptSemicolonAfterFileBlock", fileBlock("  export = false;\n") + ";\n",
                "4: char: ;\n", "Expected 'file'"),
      scriptRow("ScriptSemicolonComment", "// rules\r\n; old comment\r\n", "2: char: ;\n",
                "Expected 'file'"),
      scriptRow("ScriptStringAtTopLevel", "// rules\n\"map.mp\" { }\n", "2: string: map.mp\n",
                "Expected 'file'"),
      scriptRow("ScriptNoFileName", "// rules\nfile map.mp { }\n", "2: word: map\n",
                "Expected file name"),
      scriptRow("ScriptFileAtEndOfInput", "file \"map.mp\" { }\nfile\n", "eof\n",
                "Expected file name"),
      scriptRow("ScriptFileBlockNoBrace", "file \"map.mp\"\n(\n", "2: char: (\n", "Expected '{'"),
      scriptRow("ScriptComparedBoolean", fileBlock("  case export=true { }\n"), "2: char: =\n",
                "Expected '{'"),
      scriptRow("ScriptNumberInBlock", fileBlock("  5 = type;\n"), "2: num: 5\n",
                "Expected variable name or '}'"),
      scriptRow("ScriptSemicolonAfterCase", fileBlock("  case type=1 { };\n"), "2: char: ;\n",
                "Expected variable name or '}'"),
      scriptRow("ScriptBlockNeverClosed", "file \"map.mp\" {\r\n  export = false;\r\n", "eof\n",
                "Expected variable name or '}'"),
      scriptRow("ScriptTwoStrings", fileBlock("  label = \"a\" \"b\";\n"), "2: string: b\n",
                "Expected ';'"),
      scriptRow("ScriptUpperCaseHexPrefix", fileBlock("  type = 0X2F06;\n"), "2: word: x2f06\n",
                "Expected ';'"),
      scriptRow("ScriptBooleanNoEquals", fileBlock("  export : false;\n"), "2: char: :\n",
                "Expected '='"),
      scriptRow("ScriptKindPlusEquals", fileBlock("  kind += line;\n"), "2: char: +\n",
                "Expected '='"),
      scriptRow("ScriptIntNoEquals", fileBlock("  type := 5;\n"), "2: char: :\n",
                "Expected '=' or '+='"),
      scriptRow("ScriptStringMinus", fileBlock("  label - \"x\";\n"), "2: char: -\n",
                "Expected '=' or '+='"),
      scriptRow("ScriptIntPlusNumber", fileBlock("  type + 5;\n"), "2: num: 5\n", "Expected '+='"),
      scriptRow("ScriptStringPlusPlus", fileBlock("  label ++ \"x\";\n"), "2: char: +\n",
                "Expected '+='"),
      scriptRow("ScriptAssignToMeasure", fileBlock("  area = 1;\n"), "2: word: area\n",
                "Unknown variable: area"),
      scriptRow("ScriptUnknownInCondition", fileBlock("  case Colour = 1 { }\n"),
                "2: word: colour\n", "Unknown variable: colour"),
      scriptRow("ScriptUnknownIntOperand", fileBlock("  layer_max = depth;\n"), "2: word: depth\n",
                "Unknown variable: depth"),
      scriptRow("ScriptUnknownStringOperand", fileBlock("  label = name;\n"), "2: word: name\n",
                "Unknown variable: name"),
      scriptRow("ScriptUnknownAfterBlockComment",
                "/* rules\r\n   for the town */\r\nfile \"map.mp\" {\r\n  export = flase;\r\n}\r\n",
                "4: word: flase\n", "Unknown variable: flase"),
      scriptRow("ScriptAttrWord", fileBlock("  attr RoadID = \"1\";\n"), "2: word: roadid\n",
                "Attr name expected"),
      scriptRow("ScriptIntAttrNumber", fileBlock("  case intattr 5 = 1 { }\n"), "2: num: 5\n",
                "Attr name expected"),
      scriptRow("ScriptConditionNumber", fileBlock("  case 5=type { }\n"), "2: num: 5\n",
                "Boolean expression expected"),
      scriptRow("ScriptConditionNegativeNumber", fileBlock("  case -5 = type { }\n"),
                "2: num: -5\n", "Boolean expression expected"),
      scriptRow("ScriptEmptyCondition", fileBlock("  export = ;\n"), "2: char: ;\n",
                "Boolean expression expected"),
      scriptRow("ScriptIntBangNoEquals", fileBlock("  case type ! 5 { }\n"), "2: num: 5\n",
                "Expect !="),
      scriptRow("ScriptStringBangNoEquals", fileBlock("  case label !\"x\" { }\n"),
                "2: string: x\n", "Expect !="),
      scriptRow("ScriptIntPlusInCondition", fileBlock("  case layer_max + 3 { }\n"), "2: char: +\n",
                "Expect =, !=, >, <, >=, <="),
      scriptRow("ScriptStringLess", fileBlock("  case label < \"x\" { }\n"), "2: char: <\n",
                "Expected = or !="),
      scriptRow("ScriptKindLess", fileBlock("  case kind < line { }\n"), "2: char: <\n",
                "Expected = or !="),
      scriptRow("ScriptLoneMinus", fileBlock("  layer_max = - 1;\n"), "2: char: -\n",
                "Integer expression expected"),
      scriptRow("ScriptDoubleEquals", fileBlock("  case layer_max == 3 { }\n"), "2: char: =\n",
                "Integer expression expected"),
      // The token read after '<' is pushed back and read again as the operand.
      scriptRow("ScriptLessWithoutOperand", fileBlock("  case layer_max <\n{ }\n"), "3: char: {\n",
                "Integer expression expected"),
      scriptRow("ScriptStringFromNumber", fileBlock("  label = 5;\n"), "2: num: 5\n",
                "String expression expected"),
      scriptRow("ScriptKindNumber", fileBlock("  kind = 3;\n"), "2: num: 3\n",
                "Kind expression expected"),
      scriptRow("ScriptKindString", fileBlock("  case kind = \"line\" { }\n"), "2: string: line\n",
                "Kind expression expected"),
      scriptRow("ScriptKindUnknownWord", fileBlock("  case kind = town { }\n"), "2: word: town\n",
                "Type constant expected (point, line, polygon or restriction)"),
      // The 1001st case opens on line 1002, the 1001st '!' stands on line 1003.
      scriptRow("ScriptCasesTooDeep", nestedCases(1001), "1002: word: case\n", "Nesting too deep"),
      scriptRow("ScriptNegationsTooMany", negations(1001), "1003: char: !\n", "Nesting too deep"),
  };
}

const char* const kFirstMap =
    "[IMG ID]\nID=1\n[END-IMG ID]\n; Owner = Ann\n[POI]\nType=0x2f\nLabel=Mill\n"
    "Data0=(55.5,37.25)\n[END]\n";
const char* const kFirstMapOut =
    "; LOC=a.mp:2\n; Owner=Ann\n[POI]\nType=0x2f\nLabel=Mill\nData0=(55.500000,37.250000)\n"
    "[END]\n\n";
const char* const kBadMap = "[IMG ID]\nID=2\n[END-IMG ID]\n[POI]\nType=0x2f\nColour=red\n[END]\n";

std::vector<Row> runRows() {
  std::vector<Row> rows;
  // Without an output argument the template would go to standard output: it must not come
  // ahead of a script error.
  Row toStdout = scriptRow("ScriptErrorToStandardOutput", fileBlock("  label = 5;\n"),
                           "2: num: 5\n", "String expression expected");
  toStdout.args = {kScript};
  rows.push_back(toStdout);
  Row mapToStdout = mapRow("MapErrorToStandardOutput", "[IMG ID]\nID=1\nDatum=W84\n", "", 3,
                           "Unknown variable: datum");
  mapToStdout.args = {kScript};
  mapToStdout.out = std::string(kTemplateOut) + "4: char: =\n";
  mapToStdout.output = std::nullopt;
  rows.push_back(mapToStdout);
  // Files are processed from the last statement to the first: a.mp, then b.mp.
  rows.push_back(Row{"SecondMapFailsFirstMapKept",
                     {{kScript, "file \"b.mp\" { }\nfile \"a.mp\" { }\n"},
                      {"a.mp", kFirstMap},
                      {"b.mp", kBadMap},
                      {"header.txt", kTemplate}},
                     {kScript, kOutput},
                     "6: char: =\n",
                     "Processing: a.mp\nProcessing: b.mp\nError in file: 'b.mp'\n"
                     "5: Unknown variable: colour\n",
                     1,
                     std::string(kTemplateOut) + kFirstMapOut});
  // Not newline-terminated, with CR LF and bytes above 0x7f: any rewrite would show.
  const std::string existing = "[IMG ID]\r\nName=\xC3\xE0\xF0\r\n[END-IMG ID]\r\n; last";
  rows.push_back(Row{"ScriptErrorKeepsExistingOutput",
                     {{kScript, fileBlock("  case type=0x2f {\n    layer_max = 2\n  }\n")},
                      {kMap, kFirstMap},
                      {"header.txt", kTemplate},
                      {kOutput, existing}},
                     {kScript, kOutput},
                     "4: char: }\n",
                     "Expected ';'\n",
                     1,
                     existing});
  const std::optional<std::string> full = fullDevice();
  if (!full) return rows;
  rows.push_back(
      Row{"OutputDeviceFull",
          {{kScript, "file \"map.mp\" { }\n"}, {kMap, kFirstMap}, {"header.txt", kTemplate}},
          {kScript, *full},
          "",
          "Processing: map.mp\nError writing file: " + *full + "\n",
          1,
          std::nullopt});
  // An 80-byte map whose one point would otherwise be repeated under billions of levels.
  for (const auto& [name, endLevel] : {std::pair{"EndLevel1e8OnFullDevice", "100000000"},
                                       std::pair{"EndLevelMaxOnFullDevice", "2147483647"}})
    rows.push_back(Row{name,
                       {{kScript, "file \"map.mp\" { }\n"},
                        {kMap, std::string("[IMG ID]\n[END-IMG ID]\n[POI]\nType=0x2f\nEndLevel=") +
                                   endLevel + "\nData0=(55.5,37.25)\n[END]\n"},
                        {"header.txt", kTemplate}},
                       {kScript, "/dev/full"},
                       "",
                       "Processing: map.mp\nError writing file: /dev/full\n",
                       1,
                       std::nullopt});
  // An endless template ends with the first failed write.
  rows.push_back(Row{"EndlessHeaderOnFullDevice",
                     {{kScript, "file \"map.mp\" { }\n"}, {kMap, kFirstMap}},
                     {"-h", "/dev/zero", kScript, "/dev/full"},
                     "",
                     "Processing: map.mp\nError writing file: /dev/full\n",
                     1,
                     std::nullopt});
  // Both failures are the user's to know: the map's error and the output that was never written.
  rows.push_back(
      Row{"MapErrorOnFullDevice",
          {{kScript, "file \"map.mp\" { }\n"}, {kMap, kBadMap}, {"header.txt", kTemplate}},
          {kScript, *full},
          "6: char: =\n",
          "Processing: map.mp\nError in file: 'map.mp'\n5: Unknown variable: colour\n"
          "Error writing file: " + *full + "\n",
          1,
          std::nullopt});
  // A file that is there but cannot be opened is no missing file: a map skipped for it would
  // silently go missing from the result. A link to itself fails even for root.
  const std::string loop = std::string("Read error: ") + std::strerror(ELOOP) + "\n";
  rows.push_back(Row{"MapIsLinkLoop",
                     {{kScript, "file \"a.mp\" { }\nfile \"loop.mp\" { }\n"},
                      {"a.mp", kFirstMap},
                      {"header.txt", kTemplate}},
                     {kScript, kOutput},
                     "",
                     "Processing: loop.mp\n" + loop,
                     2,
                     kTemplateOut,
                     false,
                     {{"loop.mp", "loop.mp"}}});
  rows.push_back(Row{"ScriptIsLinkLoop",
                     {{"header.txt", kTemplate}},
                     {kScript, kOutput},
                     "",
                     loop,
                     2,
                     std::nullopt,
                     false,
                     {{kScript, kScript}}});
  rows.push_back(Row{"HeaderIsLinkLoop",
                     {{kScript, "file \"map.mp\" { }\n"}, {kMap, kFirstMap}},
                     {"-h", "loop.txt", kScript, kOutput},
                     "",
                     loop,
                     2,
                     "",
                     false,
                     {{"loop.txt", "loop.txt"}}});
  return rows;
}

// Lenient reading stops at malformed text just as strict reading does: same dump, message,
// line, exit code and files.
std::vector<Row> lenientRows() {
  std::vector<Row> rows;
  for (auto&& part : {headerRows(), objectRows()})
    for (const Row& row : part) {
      if (row.unknown) continue;
      Row lenient = row;
      lenient.name = "Lenient" + row.name;
      lenient.args.insert(lenient.args.begin(), "--lenient");
      rows.push_back(std::move(lenient));
    }
  return rows;
}

std::vector<Row> allRows() {
  std::vector<Row> rows;
  for (auto&& part : {headerRows(), objectRows(), scriptRows(), runRows(), lenientRows()})
    rows.insert(rows.end(), part.begin(), part.end());
  return rows;
}

class ErrorMessageTest : public testing::TestWithParam<Row> {};

void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

TEST_P(ErrorMessageTest, ReportsAndKeepsFiles) {
  const Row& row = GetParam();
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  const fs::path work = scratch.path() / "work";
  fs::create_directories(work);
  std::map<std::string, std::string> before;
  for (const auto& [name, content] : row.files) {
    writeFile(work / name, content);
    before[name] = content;
  }
  for (const auto& [name, target] : row.links) fs::create_symlink(target, work / name);

  const RunResult result = runZarvex(row.args, work, scratch.path());

  EXPECT_EQ(result.out, row.out) << "standard output";
  EXPECT_EQ(result.err, row.err) << "standard error";
  EXPECT_EQ(result.exitCode, row.exitCode) << "exit code";

  // Every input as it was; the output, if any, is the only file that may differ or appear.
  std::map<std::string, std::string> expected = before;
  if (row.output)
    expected[kOutput] = *row.output;
  else
    expected.erase(kOutput);
  // An output that the run wrote is text; one that it left alone is compared as it was.
  std::map<std::string, std::string> left = folderContents(work);
  if (const auto output = left.find(kOutput); output != left.end() && output->second != before[kOutput])
    output->second = fromPlatformText(output->second);
  EXPECT_EQ(left, expected) << "files left in the working folder";
}

std::string rowName(const testing::TestParamInfo<Row>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, ErrorMessageTest, testing::ValuesIn(allRows()), rowName);

// The limits themselves are no error: a script just inside them converts the map.
TEST(ErrorLimitTest, DeepestAcceptedNestingRuns) {
  const std::pair<std::string, std::string> cases[] = {
      {nestedCases(1000), "Label=deep\n"},
      {negations(1000), "Label=Mill\n"},  // an even run keeps export true
  };
  for (const auto& [script, label] : cases) {
    ScratchDir scratch;
    ASSERT_FALSE(scratch.path().empty());
    writeFile(scratch.path() / kScript, script);
    writeFile(scratch.path() / kMap, kFirstMap);
    writeFile(scratch.path() / "header.txt", "");
    const RunResult result = runZarvex({kScript, kOutput}, scratch.path(), scratch.path());
    EXPECT_EQ(result.exitCode, 0) << result.err << result.out;
    EXPECT_EQ(result.err, "Processing: map.mp\n");
    const std::string written = readOutput(scratch.path() / kOutput).value_or("");
    EXPECT_NE(written.find("[POI]\nType=0x2f\n" + label), std::string::npos) << written;
  }
}

}  // namespace
