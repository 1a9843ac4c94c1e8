// Converts the real maps of ../shared/realmaps/ leniently through the built binary, as a user
// would: every object section comes out, every key the strict reader does not know is kept, the
// levels of a five-level script are sane, and the output converts again to the same map.
// Skipped when the folder is absent.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "converter/driver/binary_test_support.h"

namespace {

namespace fs = std::filesystem;
using zarvextest::readFile;
using zarvextest::readOutput;
using zarvextest::RunResult;
using zarvextest::runZarvex;
using zarvextest::scriptString;
using zarvextest::ScratchDir;
using zarvextest::writeFile;

// What the window program writes for five levels.
const char* const kHeaderTemplate =
    "[IMG ID]\nID=%\nName=$\nLevels=5\nLevel0=24\nLevel1=22\nLevel2=20\nLevel3=18\nLevel4=16\n"
    "Zoom0=0\nZoom1=1\nZoom2=2\nZoom3=3\nZoom4=4\n[END-IMG ID]\n";

struct RealMap {
  const char* file;
  size_t sections;
  std::vector<std::string> keptLines;  // lines of object keys the strict reader does not know
  const char* summary;                 // standard error after the "Processing" line
  const char* againSummary;            // the same for a conversion of the converted map
};

const RealMap kMaps[] = {
    {"mapsoft2_f1_edgecases.mp",
     7,
     {"Direction=1"},
     "Skipped: header keys MG 1, PolygonEvaluate 1, RScale 1, Style 1, Transparent 1\n"
     "Kept: object keys Direction 1\n",
     "Kept: object keys Direction 1\n"},
    {"mapsoft2_n37-075.mp",
     236,
     {"Direction=1", "Direction=2"},
     "Skipped: header keys MG 1, PolygonEvaluate 1, RScale 1, Style 1, Transparent 1\n"
     "Kept: object keys Direction 2\n",
     "Kept: object keys Direction 2\n"},
    {"mapsoft_bunch_koi8-labels.mp", 1344, {}, "Skipped: header keys Transparent 1\n", ""},
    {"oaconvert_cloudmade_france.mp",
     714,
     {},
     "Skipped: header keys Transparent 1, ProductCode 1\n",
     ""},
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.push_back(line);
  }
  return result;
}

// Closing lines of object sections.
size_t countSections(const std::string& map) {
  size_t count = 0;
  for (const std::string& line : lines(map))
    if (line.rfind("[END", 0) == 0 && line != "[END-IMG ID]") ++count;
  return count;
}

size_t countLines(const std::string& map, const std::string& wanted) {
  size_t count = 0;
  for (const std::string& line : lines(map)) count += line == wanted ? 1 : 0;
  return count;
}

std::string withoutOrigins(const std::string& map) {
  std::string kept;
  for (const std::string& line : lines(map))
    if (line.rfind("; LOC=", 0) != 0) kept += line + "\n";
  return kept;
}

// The first section whose levels are not sane (from 0 up without a gap, at most 4, as many lines
// under each), or "".
std::string levelProblems(const std::string& map) {
  std::vector<int> perLevel;
  for (const std::string& line : lines(map)) {
    if (line.rfind("Data", 0) == 0) {
      const int level = std::atoi(line.c_str() + 4);
      if (level < 0 || level > 4 || level > static_cast<int>(perLevel.size()))
        return "level " + std::to_string(level) + " out of place: " + line.substr(0, 40);
      if (level == static_cast<int>(perLevel.size())) perLevel.push_back(0);
      ++perLevel[static_cast<size_t>(level)];
    } else if (line.rfind("[END", 0) == 0) {
      for (int count : perLevel)
        if (count != perLevel.front()) return "uneven levels before line " + line;
      perLevel.clear();
    }
  }
  return "";
}

class RealMapsTest : public testing::TestWithParam<RealMap> {
 protected:
  void SetUp() override {
    const char* source = std::getenv("ZARVEX_SOURCE_DIR");
    const fs::path folder =
        fs::path(source != nullptr ? source : ".") / ".." / "shared" / "realmaps";
    map_ = fs::absolute(folder / GetParam().file).lexically_normal();
    if (!fs::exists(map_)) GTEST_SKIP() << "no real map at " << map_;
    ASSERT_FALSE(scratch_.path().empty());
    writeFile(scratch_.path() / "header.txt", kHeaderTemplate);
  }

  RunResult convert(const fs::path& map, const std::string& rules, const std::string& output) {
    writeFile(scratch_.path() / "rules.cfg", "file " + scriptString(map) + " {\n" + rules + "}\n");
    return runZarvex({"--lenient", "-m", "K-12-3", "rules.cfg", output}, scratch_.path(),
                     scratch_.path());
  }

  std::string output(const std::string& name) {
    return readOutput(scratch_.path() / name).value_or("");
  }

  fs::path map_;
  ScratchDir scratch_;
};

TEST_P(RealMapsTest, EverySectionAndKeptKeyComesOut) {
  const RealMap& m = GetParam();
  const RunResult result = convert(map_, "", "out.mp");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Processing: " + map_.string() + "\n" + m.summary);
  const std::string source = readFile(map_).value_or("");
  const std::string written = output("out.mp");
  EXPECT_EQ(countSections(source), m.sections);
  EXPECT_EQ(countSections(written), m.sections);
  for (const std::string& kept : m.keptLines) {
    SCOPED_TRACE(kept);
    EXPECT_GT(countLines(source, kept), 0u);
    EXPECT_EQ(countLines(written, kept), countLines(source, kept));
  }
}

TEST_P(RealMapsTest, FiveLevelScriptGivesSaneLevels) {
  const RunResult result = convert(map_,
                                   "  layer_max = 1;\n"
                                   "  case kind = polygon { layer_max = 2; }\n"
                                   "  case kind = line { case length > 2000 { layer_max = 4; } }\n"
                                   "  case kind = point { layer_min = 0; layer_max = 0; }\n",
                                   "levels.mp");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string written = output("levels.mp");
  EXPECT_EQ(countSections(written), GetParam().sections);
  EXPECT_EQ(levelProblems(written), "");
  EXPECT_NE(written.find("\nData1="), std::string::npos);
}

TEST_P(RealMapsTest, OutputConvertsAgainToTheSameMap) {
  ASSERT_EQ(convert(map_, "  layer_max = 0;\n", "once.mp").exitCode, 0);
  const RunResult again = convert(scratch_.path() / "once.mp", "  layer_max = 0;\n", "twice.mp");
  ASSERT_EQ(again.exitCode, 0) << again.err << again.out;
  // The converted map needs lenient reading only for the keys that the first run kept.
  EXPECT_EQ(again.err, "Processing: " + (scratch_.path() / "once.mp").string() + "\n" +
                           GetParam().againSummary);
  EXPECT_EQ(withoutOrigins(output("twice.mp")), withoutOrigins(output("once.mp")));
}

std::string mapName(const testing::TestParamInfo<RealMap>& info) {
  std::string name = info.param.file;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Maps, RealMapsTest, testing::ValuesIn(kMaps), mapName);

}  // namespace
