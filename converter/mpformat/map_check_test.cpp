#include "converter/mpformat/map_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "converter/mpformat/map_test_support.h"

namespace zarvex {
namespace {

namespace fs = std::filesystem;

// A map file of the given text in the temporary folder, removed again.
class MapFile {
 public:
  explicit MapFile(const std::string& text)
      : path_((fs::temp_directory_path() /
               ("zarvex-check-" + std::to_string(std::random_device{}()) + ".mp"))
                  .string()) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~MapFile() { fs::remove(path_); }
  MapFile(const MapFile&) = delete;
  MapFile& operator=(const MapFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(MapCheckTest, TellsWhetherAMapNeedsLenientReading) {
  const std::string h = "[IMG ID]\nID=1\n";
  const std::string e = "[END-IMG ID]\n";
  const struct {
    const char* name;
    std::string text;
    MapReadability readability;
    MapReadError strictError;
    MapReadError error;
    const char* report;
  } cases[] = {
      {"strict", h + e + "[POI]\nType=1\nData0=(1,2)\n[END]\n", MapReadability::Strict, {}, {}, ""},
      {"empty", "", MapReadability::Unreadable, {"'[' expected", 0}, {"'[' expected", 0}, ""},
      {"header keys",
       h + "MG=Y\nTransparent=N\n" + e + "[POI]\nDirection=1\n[END]\n",
       MapReadability::Lenient,
       {"Unknown variable: mg", 3},
       {},
       "header-key MG 1@3; header-key Transparent 1@4; object-key Direction 1@7"},
      {"late in the objects",
       h + e + "[POI]\n[END]\n[POI]\n[END]\n[WPT]\n[END-WPT]\n",
       MapReadability::Lenient,
       {"'zipcodes', 'cities', 'regions', 'districts', 'countries', 'polyline', 'polygon', 'poi' "
        "or 'restrict' expected",
        7},
       {},
       "section [WPT] 1@8"},
      {"malformed after what lenient reading passes over",
       h + "Datum=W84\n" + e + "[POI]\nData0=(1,2\n[END]\n",
       MapReadability::Unreadable,
       {"Unknown variable: datum", 3},
       {"')' expected", 6},
       "header-key Datum 1@3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapFile file(c.text);
    const MapReadCheck check = checkMapFile(file.path());
    EXPECT_EQ(check.readability, c.readability);
    EXPECT_EQ(check.strictError.message, c.strictError.message);
    EXPECT_EQ(check.strictError.line, c.strictError.line);
    EXPECT_EQ(check.error.message, c.error.message);
    EXPECT_EQ(check.error.line, c.error.line);
    EXPECT_EQ(maptest::describe(check.report), c.report);
  }
}

TEST(MapCheckTest, MissingFileIsUnreadable) {
  const MapReadCheck check = checkMapFile("no/such/map.mp");
  EXPECT_EQ(check.readability, MapReadability::Unreadable);
  EXPECT_FALSE(check.error.message.empty());
  EXPECT_EQ(check.error.line, -1);
}

TEST(MapCheckTest, RealMapsNeedLenientReading) {
  const char* root = std::getenv("ZARVEX_SOURCE_DIR");
  if (root == nullptr) GTEST_SKIP() << "ZARVEX_SOURCE_DIR not set";
  const fs::path dir = fs::path(root) / ".." / "shared" / "realmaps";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no real maps";
  const struct {
    const char* file;
    const char* firstNames;  // of the first three entries
  } cases[] = {
      {"mapsoft2_f1_edgecases.mp", "MG PolygonEvaluate RScale"},
      {"mapsoft2_n37-075.mp", "MG PolygonEvaluate RScale"},
      {"mapsoft_bunch_koi8-labels.mp", "Transparent Levels"},
      {"oaconvert_cloudmade_france.mp", "Transparent ProductCode"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const MapReadCheck check = checkMapFile((dir / c.file).string());
    EXPECT_EQ(check.readability, MapReadability::Lenient) << check.error.message;
    std::string names;
    for (size_t i = 0; i < check.report.entries().size() && i < 3; ++i)
      names += (i ? " " : "") + check.report.entries()[i].name;
    EXPECT_EQ(names, c.firstNames);
  }
}

}  // namespace
}  // namespace zarvex
