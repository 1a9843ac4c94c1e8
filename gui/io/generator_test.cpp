#include "gui/io/generator.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "gui/io/replacing_file.h"
#include "gui/io/test_support.h"

namespace visual {
namespace {

MapInfo documentWith(int newLevels, const std::string& fileName = "/maps/town.mp") {
  MapInfo d;
  d.FileName = fileName;
  d.NewLevels = newLevels;
  return d;
}

RuleRecord row(const std::string& id, int type, const std::string& name) {
  RuleRecord r;
  r.Id = id;
  r.Type = type;
  r.eName = name;
  return r;
}

// The header file written as generation writes it, through a replacing file.
bool writeHeaderFile(const MapInfo& document, const std::string& path, std::string* error) {
  ReplacingFile header;
  if (header.open(path) && writeHeader(document, header, error) && header.commit()) return true;
  if (!header.error().empty()) *error = header.error();
  return false;
}

std::string expected(const std::string& name) {
  return readFile("testdata/script/" + name);
}

TEST(Script, OneRuleRowWithWindowsPath) {
  RuleTable rules;
  RuleRecord road = row("0x01", 0, "road");
  road.chVisibleAlways = false;
  road.cbVisibleFrom = 1;
  rules.put(road);
  std::vector<int> positions;
  const std::string text = scriptText(documentWith(5, "C:\\maps\\town.mp"), rules,
                                      [&](int pos) { positions.push_back(pos); });
  EXPECT_EQ(text, expected("example.cfg"));
  EXPECT_EQ(positions, std::vector<int>{0});
}

TEST(Script, NestedLabelCaseAppendAndFreeLine) {
  RuleTable rules;
  RuleRecord trail = row("0x02", 0, "trail");
  trail.chNameChange = true;
  trail.chNameChangeEmpty = true;
  trail.eNameChange = "Path \"A\" \\ B";
  trail.chNameAdd = true;
  trail.eNameAdd = " (tr)";
  trail.eAdd = "road_class=2;";
  rules.put(trail);
  EXPECT_EQ(scriptText(documentWith(3), rules, {}), expected("label_nested.cfg"));
}

TEST(Script, ConditionsOnPolygonSkipIncompleteOnes) {
  RuleTable rules;
  RuleRecord lake = row("0x4c", 1, "lake");
  lake.chVisibleAlways = false;
  lake.cbVisibleFrom = 1;
  lake.cbVisibleTo = 3;
  lake.cond[0] = {true, 0, 4, "5000", 0, 2, 2, "0x2f06:bridge"};
  lake.cond[1] = {true, -1, 4, "7", 0, 2, -1, ""};
  lake.cond[2] = {true, 2, 1, "10", -1, -1, -1, ""};
  rules.put(lake);
  EXPECT_EQ(scriptText(documentWith(5), rules, {}), expected("conditions.cfg"));
}

TEST(Script, SharedTypeBlockKindAndObjectChanges) {
  RuleTable rules;
  rules.put(row("0x01", 0, "road"));
  RuleRecord area = row("0x01", 1, "area");
  area.chTypeChange = true;
  area.cbTypeChange = 0;
  area.chObjectChange = true;
  area.cbObjectChange = "0x05:road";
  rules.put(area);
  RuleRecord bridge = row("0x2f06", 2, "bridge");
  bridge.chTypeChange = true;
  bridge.cbTypeChange = -1;
  bridge.chObjectChange = true;
  bridge.cbObjectChange = ":nothing";
  rules.put(bridge);
  rules.put(row("", 0, "damaged"));
  rules.put(row("0x03", 7, "unknown kind"));
  EXPECT_EQ(scriptText(documentWith(5), rules, {}), expected("type_change.cfg"));
}

TEST(Script, EscapesBackslashAndQuote) {
  EXPECT_EQ(escapedForScript("C:\\a \"b\""), "C:\\\\a \\\"b\\\"");
  EXPECT_EQ(escapedForScript("plain"), "plain");
}

TEST(Batch, QuotedPathsThenPause) {
  const auto command =
      converterCommand("/opt/zarvex", "/m/t.txt", "/m/t.cfg", "/m/t_multilevel.mp");
  EXPECT_EQ(batchText(command),
            "\"/opt/zarvex\" -h \"/m/t.txt\" \"/m/t.cfg\" \"/m/t_multilevel.mp\"\npause\n");
  EXPECT_EQ(argumentVector(command), (std::vector<std::string>{"/opt/zarvex", "-h", "/m/t.txt",
                                                               "/m/t.cfg", "/m/t_multilevel.mp"}));
  // The run and the batch line read the map the same way.
  const auto lenient = converterCommand("/opt/zarvex", "/m/t.txt", "/m/t.cfg", "/m/t.mp", true);
  EXPECT_EQ(batchText(lenient),
            "\"/opt/zarvex\" --lenient -h \"/m/t.txt\" \"/m/t.cfg\" \"/m/t.mp\"\npause\n");
  EXPECT_EQ(argumentVector(lenient)[1], "--lenient");
}

TEST(HeaderFile, NewLevelsReplaceTheMapsOwn) {
  TempFolder folder;
  MapInfo d = documentWith(3, "testdata/header/map.mp");
  d.NewLevel = {24, 22, 20};
  d.NewZoom = {0, 1, 2};
  std::string error;
  ASSERT_TRUE(writeHeaderFile(d, folder.file("town.txt"), &error)) << error;
  EXPECT_EQ(readFile(folder.file("town.txt")), readFile("testdata/header/expected.txt"));
}

TEST(HeaderFile, FailuresLeaveNoFileBehind) {
  TempFolder folder;
  std::string error;
  MapInfo missing = documentWith(1, folder.file("absent.mp"));
  EXPECT_FALSE(writeHeaderFile(missing, folder.file("out.txt"), &error));
  EXPECT_EQ(error.rfind("Не удалось прочитать файл " + folder.file("absent.mp") + ": ", 0), 0u)
      << error;
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));  // nor its temporary file

  error.clear();
  MapInfo d = documentWith(1, "testdata/header/map.mp");
  const std::string blocked = folder.file("no/such/folder/out.txt");
  EXPECT_FALSE(writeHeaderFile(d, blocked, &error));
  EXPECT_EQ(error.rfind("Не удалось записать файл " + blocked + ": ", 0), 0u) << error;
}

}  // namespace
}  // namespace visual
