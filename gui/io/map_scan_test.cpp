#include "gui/io/map_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "gui/io/test_support.h"

namespace visual {
namespace {

struct Scanned {
  bool ok = false;
  MapInfo doc;
  RuleTable rules;
  std::vector<int> progress;
};

Scanned scan(const std::string& path, const Catalogue& catalogue = {}, int pos = 0, int max = 100) {
  Scanned s;
  std::string error;
  s.ok = scanMap(path, s.doc, s.rules, catalogue,
                 {pos, max, [&s](int p) { s.progress.push_back(p); }}, &error);
  EXPECT_TRUE(s.ok) << error;
  return s;
}

int countOf(const RuleTable& rules, const std::string& id, int type) {
  const RuleRecord* row = rules.find(id, type);
  return row ? row->Count : 0;
}

TEST(MapScan, HeaderFieldsAndLevels) {
  TempFolder folder;
  const std::string path = folder.write("m.mp",
                                        "; before\r\n[Img Id]\r\nID=77\r\nName=Map [beta]\r\n"
                                        "TypeSet=Sample\r\nCopyright=Me\r\nLevels=4\r\n"
                                        "Level0=24\r\nLEVEL1=22\r\nLevel2=x\r\nLevel3=18\r\n"
                                        "Zoom0=0\r\nZoom1=1\r\nZoom2=2\r\nZoom3=3\r\n"
                                        "Level10=12\r\nLevel11=10\r\n[END-IMG ID]\r\n");
  const Scanned s = scan(path);
  EXPECT_EQ(s.doc.ID, "77");
  EXPECT_EQ(s.doc.Name, "Map [beta]");
  EXPECT_EQ(s.doc.TypeSet, "Sample");
  EXPECT_EQ(s.doc.CopyRight, "Me");
  EXPECT_EQ(s.doc.Levels, 4);
  EXPECT_EQ(s.doc.Level[0], 24);
  EXPECT_EQ(s.doc.Level[1], 22);
  EXPECT_EQ(s.doc.Level[2], 0);
  EXPECT_EQ(s.doc.Level[3], 18);
  EXPECT_EQ(s.doc.Level[10], 12);
  EXPECT_EQ(s.doc.Zoom[3], 3);
  EXPECT_EQ(s.doc.FileName, path);
}

TEST(MapScan, HeaderLineMustBeExact) {
  TempFolder folder;
  for (const char* header : {"[IMG ID] ", " [IMG ID]", "[IMG_ID]"}) {
    const Scanned s = scan(folder.write("m.mp", std::string(header) + "\nName=x\nLevels=3\n"));
    EXPECT_EQ(s.doc.Name, "") << header;
    EXPECT_EQ(s.doc.Levels, 0) << header;
  }
  EXPECT_EQ(scan(folder.write("m.mp", "[IMG ID]\nLevels=40\n[END-IMG ID]\n")).doc.Levels, 11);
  EXPECT_EQ(scan(folder.write("m.mp", "[IMG ID]\nLevels=many\n[END-IMG ID]\n")).doc.Levels, 0);
}

TEST(MapScan, ObjectsCountedPerCodeAndKind) {
  TempFolder folder;
  const std::string path = folder.write("m.mp",
                                        "[POLYLINE]\nType=0x1\nLabel=~[0x05] A\n[END]\n"
                                        "[polyline]\nType=0x01 \nData0=(1,2)\n[END]\n"
                                        "[Polyline]\n; Type=0x99\nType=0x01\n[END]\n"
                                        "[POLYGON]\nType=0x1\n[END]\n"
                                        "[POI]\nType=0x2F06\n[END]\n"
                                        "[POI]\nType=0x2f06\n[END]\n"
                                        "[RGN10]\nType=0x1\n[END]\n"
                                        "[RGN40]\nType=0x2\n[END]\n"
                                        "[RGN80]\nType=0x3\n[END]\n"
                                        "[POI]\nType=22\n[END]\n"
                                        "[POI]\nLabel=no type\n[END]\n"
                                        "[Countries]\nType=0x5\n[END]\n"
                                        "[POLYLINE] \nType=0x7\n[END]\n");
  Catalogue catalogue;
  catalogue.define("0x01", 0, "road");
  const Scanned s = scan(path, catalogue);
  EXPECT_EQ(countOf(s.rules, "0x01", 0), 3);
  EXPECT_EQ(countOf(s.rules, "0x01", 1), 1);
  EXPECT_EQ(countOf(s.rules, "0x2F06", 2), 1);
  EXPECT_EQ(countOf(s.rules, "0x2f06", 2), 1);
  EXPECT_EQ(countOf(s.rules, "0x0001", 2), 1);
  EXPECT_EQ(countOf(s.rules, "0x02", 0), 1);
  EXPECT_EQ(countOf(s.rules, "0x03", 1), 1);
  EXPECT_EQ(countOf(s.rules, "22", 2), 1);
  EXPECT_EQ(s.rules.size(), 8u);
  const RuleRecord& road = *s.rules.find("0x01", 0);
  EXPECT_EQ(road.eName, "road");
  EXPECT_TRUE(road.New);
  EXPECT_TRUE(road.Used);
  EXPECT_TRUE(road.chVisibleAlways);
  EXPECT_EQ(road.cbVisibleFrom, -1);
  EXPECT_EQ(road.cond[2].cbTypeChange, -1);
  EXPECT_EQ(s.rules.find("0x01", 1)->eName, "");
}

TEST(MapScan, ExistingRowsKeepRulesAndGainCounts) {
  TempFolder folder;
  const std::string path = folder.write("m.mp", "[POLYLINE]\nType=0x01\n[END]\n");
  MapInfo doc;
  RuleTable rules;
  RuleRecord stored;
  stored.Id = "0x01";
  stored.eName = "kept";
  stored.chNameAdd = true;
  rules.put(stored);
  ASSERT_TRUE(scanMap(path, doc, rules, {}, {}, nullptr));
  ASSERT_TRUE(scanMap(path, doc, rules, {}, {}, nullptr));
  const RuleRecord& row = *rules.find("0x01", 0);
  EXPECT_EQ(row.Count, 2);
  EXPECT_TRUE(row.Used);
  EXPECT_FALSE(row.New);
  EXPECT_TRUE(row.chNameAdd);
  EXPECT_EQ(row.eName, "kept");
}

TEST(MapScan, ProgressGoesOnFromItsStartAndStaysWithinMax) {
  TempFolder folder;
  std::string content;
  for (int i = 0; i < 1000; ++i) content += "[POI]\nType=0x0100\n[END]\n";
  const Scanned s = scan(folder.write("m.mp", content), {}, 10, 30);
  ASSERT_FALSE(s.progress.empty());
  EXPECT_TRUE(std::is_sorted(s.progress.begin(), s.progress.end()));
  EXPECT_GE(s.progress.front(), 10);
  EXPECT_LE(s.progress.back(), 30);
  EXPECT_EQ(countOf(s.rules, "0x0100", 2), 1000);
}

TEST(MapScan, MissingFileFails) {
  MapInfo doc;
  RuleTable rules;
  std::string error;
  EXPECT_FALSE(scanMap("no-such-file.mp", doc, rules, {}, {}, &error));
  EXPECT_FALSE(error.empty());
}

std::string realMap(const std::string& name) {
  const std::filesystem::path path =
      std::filesystem::path(sourceDir()) / ".." / "shared" / "realmaps" / name;
  return std::filesystem::exists(path) ? path.string() : std::string();
}

int total(const RuleTable& rules) {
  return std::accumulate(rules.rows().begin(), rules.rows().end(), 0,
                         [](int sum, const RuleRecord& r) { return sum + r.Count; });
}

TEST(MapScanRealMaps, CountsPerType) {
  const struct {
    const char* file;
    int objects, rows, levels, level0;
    std::vector<std::tuple<const char*, int, int>> counts;
  } maps[] = {
      {"mapsoft2_n37-075.mp",
       236,
       28,
       4,
       22,
       {{"0x04", 0, 25}, {"0x15", 1, 39}, {"0x0900", 2, 7}, {"0x2c0b", 2, 3}}},
      {"mapsoft2_f1_edgecases.mp",
       7,
       4,
       4,
       22,
       {{"0x7e", 0, 3}, {"0x01", 1, 2}, {"0x0700", 2, 1}, {"0x0900", 2, 1}}},
      {"mapsoft_bunch_koi8-labels.mp",
       1344,
       44,
       4,
       22,
       {{"0x04", 0, 206}, {"0x2800", 2, 64}, {"0x0e", 1, 38}}},
      {"oaconvert_cloudmade_france.mp", 714, 2, 5, 24, {{"0x06", 0, 357}, {"0x69", 1, 357}}},
  };
  for (const auto& m : maps) {
    const std::string path = realMap(m.file);
    if (path.empty()) GTEST_SKIP() << "real maps not present";
    const Scanned s = scan(path);
    EXPECT_EQ(total(s.rules), m.objects) << m.file;
    EXPECT_EQ(s.rules.size(), static_cast<std::size_t>(m.rows)) << m.file;
    EXPECT_EQ(s.doc.Levels, m.levels) << m.file;
    EXPECT_EQ(s.doc.Level[0], m.level0) << m.file;
    for (const auto& [id, kind, count] : m.counts)
      EXPECT_EQ(countOf(s.rules, id, kind), count) << m.file << " " << id;
  }
}

TEST(MapScanRealMaps, HeaderTexts) {
  const std::string f1 = realMap("mapsoft2_f1_edgecases.mp");
  const std::string france = realMap("oaconvert_cloudmade_france.mp");
  if (f1.empty() || france.empty()) GTEST_SKIP() << "real maps not present";
  const Scanned edge = scan(f1);
  EXPECT_EQ(edge.doc.Name, "n36-012");  // CR LF gone
  EXPECT_EQ(edge.doc.Level[1], 21);     // written LEVEL1=
  EXPECT_EQ(edge.doc.Zoom[3], 3);
  const Scanned fr = scan(france);
  EXPECT_EQ(fr.doc.ID, "19780321");
  EXPECT_EQ(fr.doc.Name, "My Very Special Map");
  EXPECT_EQ(fr.doc.Level[4], 12);
}

}  // namespace
}  // namespace visual
