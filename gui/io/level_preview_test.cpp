#include "gui/io/level_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "gui/io/fake_user_interface.h"
#include "gui/io/preview_reader.h"
#include "gui/io/shell.h"
#include "gui/io/test_support.h"
#include "gui/io/workspace.h"

namespace visual {
namespace {

// Per level, what a reader of the converted text counts: sections with a Data<n> line, and the
// coordinate pairs of those lines.
std::map<int, std::pair<int, int>> dataLineCounts(const std::string& map) {
  std::map<int, std::pair<int, int>> counts;
  std::istringstream in(map);
  std::set<int> levelsOfSection;
  const std::regex data(R"(^Data(\d+)=(.*)$)", std::regex::icase);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::smatch m;
    if (std::regex_match(line, m, data)) {
      const int level = std::stoi(m[1]);
      levelsOfSection.insert(level);
      const std::string points = m[2];
      counts[level].second += static_cast<int>(std::count(points.begin(), points.end(), '('));
    } else if (line == "[END]") {
      for (int level : levelsOfSection) ++counts[level].first;
      levelsOfSection.clear();
    }
  }
  return counts;
}

int sourcePointCount(const std::string& map) {
  int points = 0;
  std::istringstream in(map);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("Data", 0) == 0)
      points += static_cast<int>(std::count(line.begin(), line.end(), '('));
  return points;
}

class LevelPreviewTest : public ::testing::Test {
 protected:
  // Loads `set` (its @MAP@ replaced by a copy of `map`) as the window does.
  void load(const std::string& mapText, const std::string& setText) {
    mapPath = folder.write("work/map.mp", mapText);
    ui.openFiles.push_back(
        folder.write("work/map.set", replaced(setText, "FileName=town.mp", "FileName=" + mapPath)));
    workspace.setCatalogueFolder(sourceDir() + "/examples/types");
    workspace.load();
    ASSERT_TRUE(ui.messages.empty()) << ui.messages.front();
  }

  // Converts the document as the view does and reads every level.
  void convert() {
    PreviewInputs inputs = workspace.previewInputs();
    inputs.converter = ZARVEX_BINARY;
    std::string error;
    ASSERT_TRUE(prepareLevelRun(inputs, folder.path(), run, &error)) << error;
    ASSERT_EQ(runConversion({folder.file("preview.bat"), run.command}), 0);
    ASSERT_TRUE(readSourcePreview(mapPath, source, &error)) << error;
    ASSERT_TRUE(readLevelPreviews(run.output, inputs.document.NewLevels, source, levels, &error))
        << error;
  }

  TempFolder folder;
  FakeUserInterface ui;
  Workspace workspace{ui};
  std::string mapPath;
  LevelRun run;
  SourcePreview source;
  std::vector<PreviewMap> levels;
};

TEST_F(LevelPreviewTest, CountsMatchTheConvertedMapsDataLines) {
  const std::string town = readFile(sourceDir() + "/examples/town.mp");
  load(town, readFile(sourceDir() + "/examples/town.set"));
  convert();
  EXPECT_EQ(source.points, static_cast<std::uint64_t>(sourcePointCount(town)));
  const auto expected = dataLineCounts(readFile(run.output));
  ASSERT_EQ(levels.size(), 5u);
  for (int level = 0; level < 5; ++level) {
    SCOPED_TRACE(level);
    const LevelCounts counts = countsOf(levels[static_cast<std::size_t>(level)], source.points);
    const auto found = expected.find(level);
    const std::pair<int, int> want = found == expected.end() ? std::pair{0, 0} : found->second;
    EXPECT_EQ(counts.objects, static_cast<std::uint64_t>(want.first));
    EXPECT_EQ(counts.points, static_cast<std::uint64_t>(want.second));
  }
  // Fewer objects as the levels coarsen, and none of the buildings past the first.
  EXPECT_GT(levels[0].objects.size(), levels[2].objects.size());
  const auto buildings = [](const PreviewMap& map) {
    return std::count_if(map.objects.begin(), map.objects.end(), [](const PreviewObject& o) {
      return o.sourceKind == 1 && o.sourceType == 0x13;
    });
  };
  EXPECT_EQ(buildings(levels[0]), 2);
  EXPECT_EQ(buildings(levels[1]), 0);
  // Turned into points, they keep the tree entry they came from.
  for (const PreviewObject& o : levels[0].objects)
    if (o.sourceType == 0x13) {
      EXPECT_EQ(std::pair(o.kind, o.type), std::pair(2, 0x6402));
    }
}

TEST_F(LevelPreviewTest, EditsNotYetStoredAreConvertedButNotStored) {
  load(readFile(sourceDir() + "/examples/town.mp"), readFile(sourceDir() + "/examples/town.set"));
  // The streets are selected and shown on until level 3 instead of 1.
  const std::vector<TreeEntry>& tree = workspace.tree();
  for (int r = 0; r < static_cast<int>(tree.size()); ++r)
    for (int c = 0; c < static_cast<int>(tree[static_cast<std::size_t>(r)].children.size()); ++c)
      if (tree[static_cast<std::size_t>(r)].children[static_cast<std::size_t>(c)].id == "0x06")
        workspace.select({r, c});
  ASSERT_EQ(workspace.editor().cbVisibleTo, 1);
  workspace.editor().cbVisibleTo = 3;
  const std::vector<RuleRecord> before = workspace.rules();
  convert();
  EXPECT_EQ(workspace.rules(), before);
  const auto streets = [](const PreviewMap& map) {
    return std::count_if(map.objects.begin(), map.objects.end(),
                         [](const PreviewObject& o) { return o.type == 0x06; });
  };
  EXPECT_EQ(streets(levels[3]), 2);
  EXPECT_EQ(streets(levels[4]), 0);
}

TEST_F(LevelPreviewTest, AMapThatNeedsLenientReadingConvertsLeniently) {
  load(readFile("testdata/generate/village_lenient.mp"),
       "[Header]\nID=1\neName=v\nTypeSet=Sample\nFileName=town.mp\nNewLevels=2\nNewLevel0=24\n"
       "NewZoom0=0\nNewLevel1=22\nNewZoom1=1\n[AllRec]\nRecCount=0\n");
  convert();
  EXPECT_EQ(run.command.at(1), "--lenient");
  EXPECT_FALSE(levels[1].objects.empty());
}

TEST(PreviewReader, AFaultNamesTheFileAndLine) {
  TempFolder folder;
  std::string error;
  SourcePreview source;
  const std::string broken =
      folder.write("broken.mp", "[IMG ID]\nID=1\n[END-IMG ID]\n[POI]\nType=0x2f01\nData0=(1,\n");
  EXPECT_FALSE(readSourcePreview(broken, source, &error));
  EXPECT_EQ(error.rfind(broken + ": line ", 0), 0u) << error;
  EXPECT_FALSE(readSourcePreview(folder.file("missing.mp"), source, &error));
  EXPECT_EQ(error.rfind(folder.file("missing.mp") + ": ", 0), 0u) << error;
  std::atomic<bool> cancel{true};
  const std::string fine = folder.write("fine.mp", readFile(sourceDir() + "/examples/town.mp"));
  EXPECT_FALSE(readSourcePreview(fine, source, &error, &cancel));
  EXPECT_EQ(error, "");
}

}  // namespace
}  // namespace visual
