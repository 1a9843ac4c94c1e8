#include "gui/io/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "gui/io/fake_user_interface.h"
#include "gui/io/file_system.h"
#include "gui/io/generator.h"
#include "gui/io/profile_file.h"
#include "gui/io/test_support.h"

namespace visual {
namespace {

using Answer = UserInterface::Answer;

constexpr const char* kTypes =
    ".polyline\n0x01 Major Road\n0x02 Trail\n"
    ".polygon\n0x01 City\n0x4c Lake\n"
    ".point\n0x2f06 Bridge\n0x0100 Big City\n";

constexpr const char* kMap =
    ";town\n[IMG ID]\nID=555\nName=Town\nTypeSet=Sample\nCopyright=Me\nLevels=2\n"
    "Level0=24\nLevel1=20\nZoom0=0\nZoom1=1\n[END-IMG ID]\n"
    "[POLYLINE]\nType=0x1\n[END]\n[POLYLINE]\nType=0x01\n[END]\n[POLYLINE]\nType=0x01\n[END]\n"
    "[POLYGON]\nType=0x1\n[END]\n[POLYGON]\nType=0x4c\n[END]\n[POI]\nType=0x2f06\n[END]\n";

// Tree positions after the map above is open: the roots sorted by text.
constexpr TreePath kHeader{0, -1};
constexpr TreePath kPoints{1, -1};
constexpr TreePath kBridge{1, 0};
constexpr TreePath kCity{2, 0};
constexpr TreePath kLake{2, 1};
constexpr TreePath kRoad{3, 0};

class WorkspaceTest : public ::testing::Test {
 protected:
  WorkspaceTest() : ws(ui) {
    types = folder.path() + "/types";
    folder.write("types/Type-Sample.dat", kTypes);
    map = folder.write("maps/town.mp", kMap);
    ws.setCatalogueFolder(types);
    ws.setShellStarter([this](const ConverterRun& run) {
      started.push_back(run.batchFile);
      commands.push_back(run.command);
      return shellWorks;
    });
  }

  // Every question and dialog of a test must have had its answer queued.
  void TearDown() override { EXPECT_EQ(ui.unexpected, std::vector<std::string>()); }

  void openTown() {
    ws.newDocument();
    ws.openMap(map);
    ASSERT_EQ(ws.tree().size(), 4u);
  }

  std::vector<std::string> childTexts(int root) const {
    std::vector<std::string> texts;
    for (const TreeEntry& e : ws.tree()[static_cast<std::size_t>(root)].children)
      texts.push_back(e.text);
    return texts;
  }

  const RuleRecord* row(const std::string& id, int type) const {
    for (const RuleRecord& r : ws.rules())
      if (r.Id == id && r.Type == type) return &r;
    return nullptr;
  }

  TempFolder folder;
  FakeUserInterface ui;
  Workspace ws;
  std::string types;
  std::string map;
  std::vector<std::string> started;
  std::vector<std::vector<std::string>> commands;
  bool shellWorks = true;
};

TEST_F(WorkspaceTest, StartState) {
  EXPECT_EQ(ws.page(), Page::Default);
  EXPECT_FALSE(ws.saveEnabled());
  EXPECT_FALSE(ws.generateEnabled());
  EXPECT_TRUE(ws.tree().empty());
  EXPECT_FALSE(ws.modified());
  EXPECT_FALSE(ws.busy());
  EXPECT_EQ(ws.progressMax(), 1);
  EXPECT_EQ(ws.progressPos(), 0);
  EXPECT_EQ(ws.codePage(), 1251);
  EXPECT_TRUE(ws.queryClose());
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(WorkspaceTest, NewWithoutTypeFilesStops) {
  ws.setCatalogueFolder(folder.path() + "/maps");
  ws.newDocument();
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"Установите путь к файлам type-*.dat программы MapEdit!!\n"
                                     "В папке " +
                                     folder.path() + "/maps их нет"});
  EXPECT_TRUE(ws.tree().empty());
  EXPECT_FALSE(ws.saveEnabled());
}

TEST_F(WorkspaceTest, NewBuildsRootsAndDefaultLevels) {
  ws.newDocument();
  ASSERT_EQ(ws.tree().size(), 4u);
  const char* roots[] = {"FileHeader", "Points", "Polygone", "Polyline"};
  const int kinds[] = {-1, 2, 1, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ws.tree()[static_cast<std::size_t>(i)].text, roots[i]);
    EXPECT_EQ(ws.tree()[static_cast<std::size_t>(i)].kind, kinds[i]);
  }
  EXPECT_EQ(ws.selection(), kHeader);
  EXPECT_EQ(ws.page(), Page::Header);
  EXPECT_EQ(ws.document().NewLevels, 1);
  EXPECT_FALSE(ws.modified());
  EXPECT_TRUE(ws.saveEnabled());
  EXPECT_FALSE(ws.generateEnabled());
  EXPECT_TRUE(ui.messages.empty());
  // A kind root without children changes nothing.
  ws.select(kPoints);
  EXPECT_EQ(ws.page(), Page::Header);
  EXPECT_FALSE(ws.modified());
}

TEST_F(WorkspaceTest, OpenMapFillsDocumentTreeAndLevels) {
  ws.newDocument();
  ws.openMap(std::nullopt);
  EXPECT_FALSE(ws.generateEnabled());
  ws.openMap(map);
  const MapInfo& d = ws.document();
  EXPECT_EQ(d.FileName, map);
  EXPECT_EQ(d.ID, "555");
  EXPECT_EQ(d.Levels, 2);
  EXPECT_EQ(d.NewLevels, 5);
  EXPECT_EQ((std::vector<int>(d.NewLevel.begin(), d.NewLevel.begin() + 5)),
            (std::vector<int>{24, 22, 20, 18, 16}));
  EXPECT_EQ((std::vector<int>(d.NewZoom.begin(), d.NewZoom.begin() + 5)),
            (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(ws.generateEnabled());
  EXPECT_TRUE(ws.modified());
  EXPECT_EQ(ws.page(), Page::Header);
  EXPECT_EQ(ws.progressPos(), 0);
  EXPECT_EQ(ws.progressMax(), 100);
  EXPECT_EQ(ui.statusPaths, std::vector<std::string>{map});
  EXPECT_EQ(childTexts(1), std::vector<std::string>{"0x2f06 [1] bridge"});
  EXPECT_EQ(childTexts(2), (std::vector<std::string>{"0x01 [1] city", "0x4c [1] lake"}));
  EXPECT_EQ(childTexts(3), std::vector<std::string>{"0x01 [3] major road"});
  EXPECT_TRUE(ws.isBold(kRoad));
  EXPECT_FALSE(ws.isBold(kPoints));

  const HeaderView view = ws.headerView();
  EXPECT_EQ(view.eID, "555");
  EXPECT_EQ(view.eFilename, map);
  ASSERT_EQ(view.levels.size(), 2u);
  EXPECT_EQ(view.levels[1], (std::array<std::string, 4>{"Level1=", "20", "2 км", "Zoom1=1"}));
  ASSERT_EQ(view.newLevels.size(), 5u);
  EXPECT_EQ(view.newLevels[0], (std::array<std::string, 4>{"Level0=", "24", "120 м ", "Zoom0=0"}));
  EXPECT_EQ(view.readNote, "");
}

TEST_F(WorkspaceTest, OpenMapAsksAgainForAMissingFile) {
  ws.newDocument();
  const std::string gone = folder.file("maps/gone.mp");
  ui.mapFiles = {"\"" + folder.file("maps/also-gone.mp") + "\"", "\"" + map + "\""};
  ws.openMap(gone);
  ASSERT_EQ(ui.mapDialogs.size(), 2u);
  EXPECT_EQ(ui.mapDialogs[0].first, "Файл был удален или перемещен. Укажите его заново!");
  EXPECT_EQ(ui.mapDialogs[0].second, "\"" + gone + "\"");
  EXPECT_EQ(ui.mapDialogs[1].second, "\"" + folder.file("maps/also-gone.mp") + "\"");
  EXPECT_EQ(ws.document().FileName, map);
  EXPECT_EQ(ui.statusPaths.back(), map);
  EXPECT_TRUE(ws.generateEnabled());

  Workspace other(ui);
  other.setCatalogueFolder(types);
  other.newDocument();
  ui.mapFiles = {std::nullopt};
  other.openMap(gone);
  EXPECT_EQ(other.document().FileName, "");
  EXPECT_FALSE(other.generateEnabled());
  EXPECT_FALSE(other.modified());
  EXPECT_FALSE(other.busy());
}

TEST_F(WorkspaceTest, ShowRulePerKind) {
  openTown();
  ws.select(kCity);
  EXPECT_EQ(ws.page(), Page::Objects);
  const EditorState& e = ws.editor();
  EXPECT_EQ(e.levelItems, (std::vector<std::string>{"0:24 120 м ", "1:22 500 м", "2:20 2 км",
                                                    "3:18 5 км - 8 км"}));
  EXPECT_EQ(e.kindItems, (std::vector<std::string>{"Полилиния", "Точка"}));
  EXPECT_EQ(e.kindMap, (std::vector<int>{0, 2}));
  EXPECT_EQ(e.paramItems, (std::vector<std::string>{"Площадь", "Высота", "Ширина"}));
  EXPECT_EQ(e.paramMap, (std::vector<int>{0, 2, 3}));
  EXPECT_TRUE(e.conditionsEnabled);
  EXPECT_TRUE(e.rbVisibleAll);

  ws.select(kRoad);
  EXPECT_EQ(e.kindItems, (std::vector<std::string>{"Полигон", "Точка"}));
  EXPECT_EQ(e.paramItems, (std::vector<std::string>{"Длинна", "Высота", "Ширина"}));
  EXPECT_EQ(e.paramMap, (std::vector<int>{1, 2, 3}));

  ws.select(kBridge);
  EXPECT_EQ(e.kindItems, (std::vector<std::string>{"Полилиния", "Полигон"}));
  EXPECT_EQ(e.paramMap, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_FALSE(e.conditionsEnabled);

  // A kind root selects its first child.
  ws.select(kHeader);
  ws.select(kPoints);
  EXPECT_EQ(ws.selection(), kBridge);
  EXPECT_EQ(ws.page(), Page::Objects);
}

TEST_F(WorkspaceTest, StoreRuleOnMoveAndShowItBack) {
  openTown();
  ws.select(kCity);
  EditorState& e = ws.editor();
  e.rbVisibleAll = false;
  e.cbVisibleFrom = 1;
  e.cbVisibleTo = 3;
  e.chNameChange = true;
  e.eNameChange = "Town";
  e.chTypeChange = true;
  e.cbTypeChange = 1;  // "Точка"
  e.chObjectChange = true;
  e.cbObjectChange = "0x0100:big city";
  e.eAdd = "road_class=1;";
  e.cond[0] = {true, 0, 4, "5000", 0, 2, 0, "0x02:trail"};
  ws.select(kLake);
  const RuleRecord* city = row("0x01", 1);
  ASSERT_NE(city, nullptr);
  EXPECT_FALSE(city->New);
  EXPECT_FALSE(city->chVisibleAlways);
  EXPECT_EQ(city->cbVisibleFrom, 1);
  EXPECT_EQ(city->cbVisibleTo, 3);
  EXPECT_EQ(city->eNameChange, "Town");
  EXPECT_TRUE(city->chTypeChange);
  EXPECT_EQ(city->cbTypeChange, 2);
  EXPECT_EQ(city->cbObjectChange, "0x0100:big city");
  EXPECT_EQ(city->eAdd, "road_class=1;");
  EXPECT_EQ(city->cond[0], (RuleCondition{true, 0, 4, "5000", 0, 2, 0, "0x02:trail"}));
  EXPECT_FALSE(ws.isBold(kCity));
  EXPECT_TRUE(ws.isBold(kLake));
  EXPECT_TRUE(ws.modified());

  // The lake's editor starts from the lake's row, not from what the city left behind.
  EXPECT_TRUE(e.rbVisibleAll);
  EXPECT_EQ(e.cbTypeChange, -1);
  e.chTypeChange = true;  // without a kind chosen
  e.cbTypeChange = -1;
  e.chObjectChange = true;                        // without a text
  e.cond[1] = {true, 1, 2, "3", -1, -1, -1, ""};  // position 1 of a polygon's list is height
  ws.select(kCity);
  const RuleRecord* lake = row("0x4c", 1);
  EXPECT_FALSE(lake->chTypeChange);
  EXPECT_FALSE(lake->chObjectChange);
  EXPECT_EQ(lake->cond[1].cbParam, 2);

  EXPECT_FALSE(e.rbVisibleAll);
  EXPECT_EQ(e.cbVisibleFrom, 1);
  EXPECT_EQ(e.cbTypeChange, 1);
  EXPECT_EQ(e.cond[0].cbParam, 0);
  EXPECT_EQ(e.cond[0].cbTypeChange, 0);
  EXPECT_EQ(e.eNameChange, "Town");
}

TEST_F(WorkspaceTest, MovingWithoutChangesStillMarksModified) {
  openTown();
  ui.saveFiles = {folder.file("w.set")};
  ws.save();
  ASSERT_FALSE(ws.modified());
  ws.select(kHeader);
  EXPECT_FALSE(ws.modified());
  ws.select(kCity);
  EXPECT_TRUE(ws.modified());
  ui.yesNoCancel = {Answer::Cancel};
  EXPECT_FALSE(ws.queryClose());
}

TEST_F(WorkspaceTest, LevelEditsAndTheirLimits) {
  openTown();
  const MapInfo& d = ws.document();
  ws.changeLevel(0);
  ws.insertLevelBefore(0);
  ws.deleteLevel(0);
  ws.changeLevel(5);
  EXPECT_TRUE(ui.pickedFrom.empty());

  ui.picks = {std::nullopt, 23};
  ws.changeLevel(1);
  EXPECT_EQ(d.NewLevel[1], 22);
  ws.changeLevel(1);
  EXPECT_EQ(d.NewLevel[1], 23);
  EXPECT_EQ(ui.pickedFrom, (std::vector<int>{22, 22}));

  ui.picks = {21};
  ws.insertLevelBefore(2);
  EXPECT_EQ(d.NewLevels, 6);
  EXPECT_EQ((std::vector<int>(d.NewLevel.begin(), d.NewLevel.begin() + 6)),
            (std::vector<int>{24, 23, 21, 20, 18, 16}));
  EXPECT_EQ((std::vector<int>(d.NewZoom.begin(), d.NewZoom.begin() + 6)),
            (std::vector<int>{0, 1, 2, 3, 4, 5}));

  ws.deleteLevel(1);
  EXPECT_EQ(d.NewLevels, 5);
  EXPECT_EQ((std::vector<int>(d.NewLevel.begin(), d.NewLevel.begin() + 5)),
            (std::vector<int>{24, 21, 20, 18, 16}));
  EXPECT_EQ((std::vector<int>(d.NewZoom.begin(), d.NewZoom.begin() + 5)),
            (std::vector<int>{0, 1, 2, 3, 4}));

  for (int i = 0; i < 6; ++i) ui.picks.push_back(12);
  for (int i = 0; i < 7; ++i) ws.insertLevelBefore(1);
  EXPECT_EQ(d.NewLevels, 11);
  EXPECT_TRUE(ui.picks.empty());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Уровней уже 11, больше в карте не бывает. "
                                                  "Удалите один, чтобы добавить новый."});
  ui.messages.clear();

  while (d.NewLevels > 2) ws.deleteLevel(1);
  ws.deleteLevel(1);
  EXPECT_EQ(d.NewLevels, 2);
  EXPECT_TRUE(ws.modified());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WorkspaceTest, LevelEditRefreshesTheShownRule) {
  openTown();
  ws.select(kRoad);
  ui.picks = {12};
  ws.changeLevel(1);
  EXPECT_EQ(ws.editor().levelItems[1], "1:12 300 км - 500 км");
}

TEST_F(WorkspaceTest, DefaultLevelsNeedTheMapsOwnAndDoNotMarkModified) {
  ws.newDocument();
  ws.defaultLevels();
  EXPECT_EQ(ws.document().NewLevels, 1);
  EXPECT_FALSE(ws.headerView().defaultLevelsEnabled);

  openTown();
  ui.picks = {20};
  ws.changeLevel(1);
  ui.saveFiles = {folder.file("w.set")};
  ws.save();
  ASSERT_FALSE(ws.modified());
  EXPECT_TRUE(ws.headerView().defaultLevelsEnabled);
  ws.defaultLevels();
  EXPECT_FALSE(ws.modified());
  EXPECT_EQ(ws.document().NewLevel[1], 22);
}

TEST_F(WorkspaceTest, ObjectTypeListFollowsTheChosenKind) {
  openTown();
  ws.select(kLake);
  EXPECT_EQ(ws.objectTypeItems(0), (std::vector<std::string>{"0x01:city", "0x4c:lake"}));
  EditorState& e = ws.editor();
  e.cbTypeChange = 1;  // "Точка", but the box is not checked
  EXPECT_EQ(ws.objectTypeItems(0), (std::vector<std::string>{"0x01:city", "0x4c:lake"}));
  e.chTypeChange = true;
  EXPECT_EQ(ws.objectTypeItems(0), (std::vector<std::string>{"0x0100:big city", "0x2f06:bridge"}));
  e.cond[1].cbTypeChange = 0;  // "Полилиния"
  EXPECT_EQ(ws.objectTypeItems(2), (std::vector<std::string>{"0x01:major road", "0x02:trail"}));
  EXPECT_EQ(ws.objectTypeItems(1), (std::vector<std::string>{"0x01:city", "0x4c:lake"}));
}

TEST_F(WorkspaceTest, SaveWithoutMap) {
  ws.newDocument();
  ws.save();
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Файл карты (*.mp) не загружен или перемещен!"});
  EXPECT_TRUE(ui.proposedNames.empty());
}

TEST_F(WorkspaceTest, SaveCancelOverwriteAndWrite) {
  openTown();
  ws.select(kRoad);
  ws.editor().chNameAdd = true;
  ws.editor().eNameAdd = " (main)";

  ui.saveFiles = {std::nullopt};
  ws.save();
  EXPECT_EQ(ui.proposedNames, std::vector<std::string>{"town.set"});
  EXPECT_TRUE(ws.modified());
  EXPECT_EQ(ws.progressPos(), 0);

  const std::string set = folder.write("town.set", "old");
  ui.saveFiles = {set};
  ui.yesNo = {false};
  ws.save();
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Переписать файл town.set?"});
  EXPECT_EQ(readFile(set), "old");
  EXPECT_TRUE(ws.modified());

  ui.saveFiles = {set};
  ui.yesNo = {true};
  ws.save();
  EXPECT_FALSE(ws.modified());
  EXPECT_TRUE(ui.messages.empty());
  ProfileFile saved;
  ASSERT_TRUE(saved.load(set, nullptr));
  EXPECT_EQ(saved.get("AllRec", "RecCount", ""), "1");
  EXPECT_EQ(saved.get("Record1", "ID", ""), "0x01");
  EXPECT_EQ(saved.get("Record1", "eNameAdd", ""), " (main)");
  EXPECT_EQ(saved.get("Header", "FileName", ""), map);
  EXPECT_EQ(ui.progress.back(), (std::pair<int, int>{0, 4}));
}

TEST_F(WorkspaceTest, SaveRightAfterOpeningWritesNoRecords) {
  openTown();
  const std::string set = folder.file("fresh.set");
  ui.saveFiles = {set};
  ws.save();
  ProfileFile saved;
  ASSERT_TRUE(saved.load(set, nullptr));
  EXPECT_EQ(saved.get("AllRec", "RecCount", ""), "0");
  EXPECT_EQ(saved.get("Record1", "ID", "none"), "none");
  EXPECT_EQ(saved.get("Header", "NewLevels", ""), "5");
}

TEST_F(WorkspaceTest, FailedSaveKeepsTheOldFileAndModified) {
  openTown();
  // The temporary file beside it gets a name longer than the file system allows.
  const std::string set = folder.write(std::string(250, 's') + ".set", "old");
  ui.saveFiles = {set};
  ui.yesNo = {true};
  ws.save();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(readFile(set), "old");
  EXPECT_TRUE(ws.modified());
}

// Writes a work file for the town map with one stored rule and one for a type it lacks.
std::string writeWork(const TempFolder& folder, const std::string& mapPath,
                      const std::string& typeSet = "TypeSet=Sample\n") {
  return folder.write("work.set", "[Header]\nID=1\neName=Saved\n" + typeSet +
                                      "FileName=" + mapPath +
                                      "\nNewLevels=3\nNewLevel0=24\nNewZoom0=0\nNewLevel1=20\n"
                                      "NewZoom1=1\nNewLevel2=16\nNewZoom2=2\n"
                                      "[Record1]\nID=0x01\nType=0\neName=road\n"
                                      "chNameAdd=1\neNameAdd=\" x\"\n"
                                      "[Record2]\nID=0x99\nType=1\neName=gone\n"
                                      "[AllRec]\nRecCount=2\n");
}

TEST_F(WorkspaceTest, LoadReadsRulesAndRescans) {
  ws.newDocument();
  ws.openMap(map);
  ui.openFiles = {writeWork(folder, map)};
  ws.load();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.openSpecs[0].filter, "zarvax SetFiles (*.set)|*.set");
  EXPECT_EQ(ui.openSpecs[0].defaultExtension, ".set");
  const MapInfo& d = ws.document();
  EXPECT_EQ(d.Name, "Town");  // the scan reads the map's own header over the saved one
  EXPECT_EQ(d.NewLevels, 3);
  EXPECT_EQ(d.NewLevel[2], 16);
  EXPECT_EQ(d.Levels, 2);
  EXPECT_FALSE(ws.modified());
  EXPECT_TRUE(ws.saveEnabled());
  EXPECT_TRUE(ws.generateEnabled());
  EXPECT_EQ(ws.selection(), kHeader);
  EXPECT_EQ(ws.page(), Page::Header);
  const RuleRecord* road = row("0x01", 0);
  ASSERT_NE(road, nullptr);
  EXPECT_EQ(road->Count, 3);
  EXPECT_TRUE(road->Used);
  EXPECT_FALSE(road->New);
  EXPECT_EQ(road->eNameAdd, " x");
  const RuleRecord* gone = row("0x99", 1);
  ASSERT_NE(gone, nullptr);
  EXPECT_FALSE(gone->Used);
  EXPECT_EQ(childTexts(2), (std::vector<std::string>{"0x01 [1] city", "0x4c [1] lake"}));
  EXPECT_FALSE(ws.isBold(kRoad));
  EXPECT_TRUE(ws.isBold(kLake));
  EXPECT_EQ(ui.progress.back().first, 0);
}

TEST_F(WorkspaceTest, LoadWithoutTypeSetReadsRussa) {
  folder.write("types/Type-Russa.dat", ".polyline\n0x01 Doroga\n");
  ui.openFiles = {writeWork(folder, map, "")};
  ws.load();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ws.document().TypeSet, "Sample");  // from the map's header, after the scan
  EXPECT_EQ(row("0x4c", 1)->eName, "");
  ws.select(kRoad);
  EXPECT_EQ(ws.objectTypeItems(0), std::vector<std::string>{"0x01:doroga"});

  // A map without its own TypeSet keeps the one the work was saved with.
  const std::string bare = folder.write("maps/bare.mp", "[IMG ID]\nID=9\n[END-IMG ID]\n");
  ui.openFiles = {writeWork(folder, bare)};
  ws.load();
  EXPECT_EQ(ws.document().ID, "9");
  EXPECT_EQ(ws.document().TypeSet, "Sample");
  EXPECT_EQ(ws.document().Name, "Saved");
}

TEST_F(WorkspaceTest, LoadFailuresAndGivingUpOnTheMap) {
  ws.setCatalogueFolder(folder.path() + "/maps");
  ws.load();
  EXPECT_EQ(ui.messages.back(),
            "Установите путь к файлам type-*.dat программы MapEdit!!\nВ папке " + folder.path() +
                "/maps их нет");
  ws.setCatalogueFolder(types);

  ui.openFiles = {std::nullopt};
  ws.load();
  EXPECT_EQ(ui.messages.size(), 1u);

  // The type set has no file: the folder and the pattern, and the action stops.
  ui.openFiles = {writeWork(folder, map, "TypeSet=Missing\n")};
  ws.load();
  EXPECT_EQ(ui.messages.back(),
            "В папке " + types + " нет файлов Type-Missing*.dat для набора типов \"Missing\"");
  EXPECT_FALSE(ws.generateEnabled());

  ui.openFiles = {writeWork(folder, folder.file("maps/moved.mp"))};
  ui.mapFiles = {std::nullopt};
  ws.load();
  EXPECT_EQ(ui.mapDialogs.size(), 1u);
  EXPECT_EQ(ws.document().FileName, "");  // New ran
  EXPECT_EQ(ws.document().NewLevels, 1);
  EXPECT_FALSE(ws.modified());
  EXPECT_FALSE(ws.generateEnabled());
  EXPECT_EQ(ws.tree().size(), 4u);
  EXPECT_TRUE(ws.tree()[3].children.empty());
}

// Each failure with a file says in Russian what went wrong and with which file.
TEST_F(WorkspaceTest, FileFailuresNameTheFile) {
  openTown();
  const std::string notSettings = folder.write("notes.set", "just some text\n");
  const std::string absent = folder.file("absent.set");
  const std::string unwritable = folder.file("no/such/folder/w.set");
  const struct {
    std::function<void()> act;
    std::string message;
  } cases[] = {
      {[&] {
         ui.openFiles = {notSettings};
         ws.load();
       },
       notSettings + ": не файл настроек (нет раздела [Header] с именем карты)"},
      {[&] {
         ui.openFiles = {absent};
         ws.load();
       },
       "Не удалось прочитать файл " + absent + ": файл или папка не найдены ("},
      {[&] {
         ui.saveFiles = {unwritable};
         ws.save();
       },
       "Не удалось записать файл " + unwritable + ": файл или папка не найдены ("},
  };
  for (const auto& c : cases) {
    ui.messages.clear();
    c.act();
    ASSERT_EQ(ui.messages.size(), 1u) << c.message;
    EXPECT_EQ(ui.messages[0].substr(0, c.message.size()), c.message);
  }
  // The work stays as it was.
  EXPECT_EQ(ws.document().FileName, map);
  EXPECT_TRUE(ws.generateEnabled());
}

TEST_F(WorkspaceTest, ARecordThatWouldInjectScriptTextIsRefusedAndTheWorkKept) {
  ui.openFiles = {writeWork(folder, map)};
  ws.load();
  ASSERT_TRUE(ui.messages.empty());
  const std::vector<RuleRecord> before = ws.rules();
  const MapInfo document = ws.document();
  const std::string work = readFile(folder.file("work.set"));
  const std::string bad =
      folder.write("bad.set", work.substr(0, work.find("[AllRec]")) +
                                  "[Record3]\nID=0x02\nType=0\nchCond1=1\ncbParam1=1\ncbCond1=4\n"
                                  "eValue1=1 { export=false; }\n[AllRec]\nRecCount=3\n");
  ui.openFiles = {bad};
  ws.load();
  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             bad + ": [Record3] eValue1=1 { export=false; }: ожидалось число"});
  EXPECT_EQ(ws.rules(), before);
  EXPECT_EQ(ws.document().FileName, document.FileName);
  EXPECT_EQ(ws.document().NewLevels, document.NewLevels);
  EXPECT_EQ(ws.progressPos(), 0);
}

TEST_F(WorkspaceTest, SavedWorkReloadsUnchanged) {
  openTown();
  ws.select(kLake);
  EditorState& e = ws.editor();
  e.rbVisibleAll = false;
  e.cbVisibleFrom = 2;
  e.chNameChange = true;
  e.chNameChangeEmpty = true;
  e.eNameChange = "\"Lake\"";
  e.cond[2] = {true, 2, 3, "12", 1, 3, 1, "0x2f06:bridge"};
  ws.select(kRoad);
  const std::vector<RuleRecord> before = ws.rules();
  ui.saveFiles = {folder.file("w.set")};
  ws.save();
  ui.openFiles = {folder.file("w.set")};
  ws.load();
  ASSERT_TRUE(ui.messages.empty());
  RuleRecord lakeBefore;
  for (const RuleRecord& r : before)
    if (r.Id == "0x4c") lakeBefore = r;
  const RuleRecord* lake = row("0x4c", 1);
  ASSERT_NE(lake, nullptr);
  EXPECT_EQ(*lake, lakeBefore);
  EXPECT_EQ(ws.rules().size(), 4u);
}

TEST_F(WorkspaceTest, GenerateWritesTheThreeFiles) {
  openTown();
  folder.write("bin/zarvex", "");
  ws.setDefaultConverterPath(folder.file("bin/zarvex"));
  ui.generationDialog = [this](GenerationSettings& s) {
    s.cbRun = false;
    return ws.confirmCreate(s);
  };
  ws.generate();
  ASSERT_EQ(ui.generationShown.size(), 1u);
  const GenerationSettings& shown = ui.generationShown[0];
  const std::string base = folder.file("maps/town");
  EXPECT_EQ(shown.fnTXT, base + ".txt");
  EXPECT_EQ(shown.fnCFG, base + ".cfg");
  EXPECT_EQ(shown.fnBAT, base + ".bat");
  EXPECT_EQ(shown.fnNewMP, base + "_multilevel.mp");
  EXPECT_EQ(shown.fnZARVEX, folder.file("bin/zarvex"));
  EXPECT_TRUE(shown.cbRun);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Все файлы созданы"});
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(readFile(base + ".bat"), "\"" + folder.file("bin/zarvex") + "\" -h \"" + base +
                                         ".txt\" \"" + base + ".cfg\" \"" + base +
                                         "_multilevel.mp\"\npause\n");
  EXPECT_NE(readFile(base + ".txt").find("Levels=5\nLevel0=24\n"), std::string::npos);
  const std::string script = readFile(base + ".cfg");
  EXPECT_EQ(script.rfind("file \"" + escapedForScript(map) + "\"\n {\n  export=false;\n", 0), 0u);
  // Rows sorted by Id and Type: the polyline 0x01 before the polygon 0x01, then 0x2f06, 0x4c.
  const auto line = script.find("case kind=line  // major road");
  const auto polygon = script.find("case kind=polygon  // city");
  const auto bridge = script.find("case type=0x2f06");
  const auto lake = script.find("case type=0x4c");
  EXPECT_LT(line, polygon);
  EXPECT_LT(polygon, bridge);
  EXPECT_LT(bridge, lake);
  EXPECT_EQ(ws.rules().front().Id, "0x01");
  EXPECT_EQ(ws.rules().back().Id, "0x4c");
  EXPECT_EQ(ws.progressPos(), 0);
}

TEST_F(WorkspaceTest, BatchLineReadsLenientlyOnlyAMapThatNeedsIt) {
  std::string lenientMap = kMap;
  lenientMap.insert(lenientMap.find("Levels=2"), "MG=Y\nTransparent=N\n");
  folder.write("maps/town.mp", lenientMap);
  openTown();
  EXPECT_EQ(ws.headerView().readNote,
            "Карта читается только в мягком режиме (--lenient): MG, Transparent");
  ws.setDefaultConverterPath("zarvex");
  ui.generationDialog = [](GenerationSettings& s) {
    s.cbRun = false;
    return true;
  };
  const std::string base = folder.file("maps/town");
  const std::string files =
      " -h \"" + base + ".txt\" \"" + base + ".cfg\" \"" + base + "_multilevel.mp\"\npause\n";
  ws.generate();
  EXPECT_EQ(readFile(base + ".bat"), "\"zarvex\" --lenient" + files);
  const std::string script = readFile(base + ".cfg");

  // Mended in an editor while the work is open: the next generation sees it.
  folder.write("maps/town.mp", kMap);
  ws.generate();
  EXPECT_EQ(readFile(base + ".bat"), "\"zarvex\"" + files);
  EXPECT_EQ(readFile(base + ".cfg"), script);
  EXPECT_EQ(ws.headerView().readNote, "");
}

TEST_F(WorkspaceTest, CreateChecks) {
  openTown();
  GenerationSettings s{folder.file("o.txt"), folder.file("o.cfg"),  folder.file("o.bat"),
                       folder.file("o.mp"),  folder.file("zarvex"), true};
  EXPECT_FALSE(ws.confirmCreate(s));
  EXPECT_EQ(ui.messages,
            std::vector<std::string>{"Укажите путь к файлу " + kConverterFileName + "!!\n" +
                                     folder.file("zarvex") + ": файл не найден"});

  folder.write("zarvex", "");
  EXPECT_TRUE(ws.confirmCreate(s));
  EXPECT_TRUE(ui.questions.empty());

  folder.write("o.cfg", "old");
  folder.write("o.mp", "old");
  ui.yesNo = {false, true};
  EXPECT_FALSE(ws.confirmCreate(s));
  EXPECT_EQ(readFile(folder.file("o.cfg")), "old");
  EXPECT_TRUE(ws.confirmCreate(s));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{"Переписать файлы?", "Переписать файлы?"}));
  // Confirming deletes nothing: generation replaces each file when its new content is whole.
  EXPECT_EQ(readFile(folder.file("o.cfg")), "old");
  EXPECT_EQ(readFile(folder.file("o.mp")), "old");
}

TEST_F(WorkspaceTest, GenerateRunsTheBatchFile) {
  openTown();
  ui.generationDialog = [](GenerationSettings& s) {
    s.fnTXT = s.fnTXT + ".1";
    return true;
  };
  ws.generate();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(started, std::vector<std::string>{folder.file("maps/town.bat")});
  EXPECT_TRUE(std::filesystem::exists(folder.file("maps/town.txt.1")));

  shellWorks = false;
  ws.generate();
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Батник не запустился, выполните вручную!\n" +
                                                  folder.file("maps/town.bat")});

  ui.generationDialog = [](GenerationSettings&) { return false; };
  ws.generate();
  EXPECT_EQ(started.size(), 2u);
}

TEST_F(WorkspaceTest, AFailedGenerationLeavesEveryOldFile) {
  openTown();
  const std::string base = folder.file("maps/town");
  for (const char* suffix : {".txt", ".cfg", ".bat", "_multilevel.mp"})
    folder.write(std::string("maps/town") + suffix, std::string("old") + suffix);
  // A user's file with the temporary name is never written over nor removed.
  folder.write("maps/town.cfg.part", "mine");
  // A folder in the way of each file in turn, the last one written among them.
  for (const std::string& blocked : {base + ".txt", base + ".cfg", base + ".bat"}) {
    SCOPED_TRACE(blocked);
    std::filesystem::remove(blocked);
    std::filesystem::create_directory(blocked);
    ui.messages.clear();
    ui.generationDialog = [](GenerationSettings&) { return true; };
    ws.generate();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("Не удалось записать файл " + blocked + ": ", 0), 0u)
        << ui.messages[0];
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    for (const char* suffix : {".txt", ".cfg", ".bat", "_multilevel.mp"}) {
      if (base + suffix == blocked) continue;
      EXPECT_EQ(readFile(base + suffix), std::string("old") + suffix);
    }
    EXPECT_EQ(readFile(base + ".cfg.part"), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("maps")),
                            std::filesystem::directory_iterator()),
              6);
    EXPECT_TRUE(started.empty());
    std::filesystem::remove(blocked);
    folder.write(blocked.substr(folder.file("").size()), "old" + blocked.substr(base.size()));
  }
}

TEST_F(WorkspaceTest, TheOldConvertedMapGoesOnlyWhenTheRunStarts) {
  openTown();
  ws.setDefaultConverterPath("/opt/zarvex");
  const std::string output = folder.write("maps/town_multilevel.mp", "old");
  ui.generationDialog = [](GenerationSettings& s) {
    s.cbRun = false;
    return true;
  };
  ws.generate();
  EXPECT_EQ(readFile(output), "old");
  EXPECT_TRUE(started.empty());

  ui.messages.clear();
  ui.generationDialog = [](GenerationSettings& s) {
    s.cbRun = true;
    return true;
  };
  ws.generate();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(output));
  const std::string base = folder.file("maps/town");
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0],
            (std::vector<std::string>{"/opt/zarvex", "-h", base + ".txt", base + ".cfg", output}));
}

TEST_F(WorkspaceTest, GenerateStoresTheShownRule) {
  openTown();
  ws.select(kLake);
  ws.editor().chNameAdd = true;
  ws.editor().eNameAdd = "!";
  ui.generationDialog = [](GenerationSettings& s) {
    s.cbRun = false;
    return true;
  };
  ws.generate();
  EXPECT_NE(readFile(folder.file("maps/town.cfg")).find("      label+=\"!\";\n"),
            std::string::npos);
}

TEST_F(WorkspaceTest, CloseQuery) {
  openTown();
  ui.yesNoCancel = {Answer::Cancel};
  EXPECT_FALSE(ws.queryClose());
  ui.yesNoCancel = {Answer::No};
  EXPECT_TRUE(ws.queryClose());
  EXPECT_EQ(ui.questions.back(), "Остались несохраненные данные. Сохранить?");
  ui.yesNoCancel = {Answer::Yes};
  ui.saveFiles = {std::nullopt};
  EXPECT_FALSE(ws.queryClose());
  ui.yesNoCancel = {Answer::Yes};
  ui.saveFiles = {folder.file("close.set")};
  EXPECT_TRUE(ws.queryClose());
  EXPECT_TRUE(std::filesystem::exists(folder.file("close.set")));
  EXPECT_TRUE(ws.queryClose());
  EXPECT_EQ(ui.questions.size(), 4u);
}

TEST_F(WorkspaceTest, IniValues) {
  const std::string ini =
      folder.write("visualzarvex.ini", "[main]\nDirDAT_Text=" + types +
                                           "\nCodePage=1252\n[dir]\ncbRun_Checked=False\n"
                                           "fnZARVEX_FileName=/opt/zarvex\n");
  Workspace fromIni(ui);
  fromIni.setCatalogueFolder("/default");
  fromIni.loadIni(ini);
  EXPECT_EQ(fromIni.catalogueFolder(), types);
  EXPECT_EQ(fromIni.codePage(), 1252);
  fromIni.setCatalogueFolder("/elsewhere");
  fromIni.saveIni();
  ProfileFile written;
  ASSERT_TRUE(written.load(ini, nullptr));
  EXPECT_EQ(written.get("main", "DirDAT_Text", ""), "/elsewhere");
  EXPECT_EQ(written.get("main", "CodePage", ""), "1252");
  EXPECT_EQ(written.get("dir", "cbRun_Checked", ""), "False");
  EXPECT_EQ(written.get("dir", "fnZARVEX_FileName", ""), "/opt/zarvex");

  Workspace empty(ui);
  empty.setCatalogueFolder("/default");
  empty.setDefaultConverterPath("/usr/bin/zarvex");
  empty.loadIni(folder.file("missing.ini"));
  EXPECT_EQ(empty.catalogueFolder(), "/default");
  EXPECT_EQ(empty.codePage(), 1251);
  empty.saveIni();
  ASSERT_TRUE(written.load(folder.file("missing.ini"), nullptr));
  EXPECT_EQ(written.get("dir", "cbRun_Checked", ""), "True");
  EXPECT_EQ(written.get("dir", "fnZARVEX_FileName", ""), "/usr/bin/zarvex");
}

}  // namespace
}  // namespace visual

namespace visual {
namespace {

// New clears modified but keeps the rule rows and the bound one; its edits are still unsaved.
TEST_F(WorkspaceTest, UnstoredEditsAreUnsavedWork) {
  openTown();
  ws.select(kRoad);
  ws.newDocument();
  ASSERT_FALSE(ws.modified());
  EXPECT_TRUE(ws.queryClose());
  EXPECT_TRUE(ui.questions.empty());
  ws.editor().chNameAdd = true;
  ui.yesNoCancel = {Answer::Cancel};
  EXPECT_FALSE(ws.queryClose());
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Остались несохраненные данные. Сохранить?"});
}

// Save and generation store the shown rule and keep the form bound to it.
TEST_F(WorkspaceTest, EditsAfterASaveOrAGenerationAreKept) {
  openTown();
  ws.select(kLake);
  ui.saveFiles = {folder.file("w.set")};
  ws.save();
  ASSERT_FALSE(ws.modified());
  EXPECT_TRUE(ws.queryClose());
  ws.editor().chNameChange = true;
  ws.editor().eNameChange = "River";
  ui.yesNoCancel = {Answer::Cancel};
  EXPECT_FALSE(ws.queryClose());
  ui.saveFiles = {folder.file("w.set")};
  ui.yesNo = {true};
  ws.save();
  ProfileFile saved;
  ASSERT_TRUE(saved.load(folder.file("w.set"), nullptr));
  EXPECT_EQ(saved.get("Record1", "chNameChange", ""), "1");
  EXPECT_EQ(saved.get("Record1", "eNameChange", ""), "River");

  ui.generationDialog = [](GenerationSettings& s) {
    s.cbRun = false;
    return true;
  };
  ws.generate();
  ws.editor().eNameAdd = "!";
  ws.editor().chNameAdd = true;
  ws.select(kCity);
  ws.select(kLake);
  EXPECT_TRUE(ws.editor().chNameAdd);
  EXPECT_EQ(row("0x4c", 1)->eNameAdd, "!");
  EXPECT_TRUE(ws.modified());
}

// The ini's converter counts while it is there; one that has gone gives way to the default.
TEST_F(WorkspaceTest, AConverterThatHasGoneGivesWayToTheDefault) {
  const std::string found = folder.write("bin/zarvex", "");
  for (const std::string& kept : {folder.write("other/zarvex", ""), folder.file("gone/zarvex")}) {
    const std::string ini = folder.write("visualzarvex.ini", "[dir]\nfnZARVEX_FileName=" + kept);
    Workspace w(ui);
    w.setCatalogueFolder(types);
    w.setDefaultConverterPath(found);
    w.loadIni(ini);
    w.newDocument();
    w.openMap(map);
    ui.generationDialog = [](GenerationSettings&) { return false; };
    w.generate();
    EXPECT_EQ(ui.generationShown.back().fnZARVEX, fileExists(kept) ? kept : found);
    // The map view converts with the same one.
    EXPECT_EQ(w.previewInputs().converter, fileExists(kept) ? kept : found);
  }
}

// Counts, marks and header belong to the map that is open; rules of other maps stay hidden.
TEST_F(WorkspaceTest, CountsAndHeaderFollowTheOpenMap) {
  openTown();
  ws.select(kLake);
  ws.editor().eAdd = "label+=\"!\";";
  ws.openMap(map);
  EXPECT_EQ(childTexts(3), std::vector<std::string>{"0x01 [3] major road"});
  const std::string other =
      folder.write("maps/other.mp",
                   "[IMG ID]\nID=7\nName=Other\nLevels=1\nLevel0=22\nZoom0=0\n[END-IMG ID]\n"
                   "[POLYLINE]\nType=0x02\n[END]\n[POLYGON]\nType=0x01\n[END]\n");
  ws.newDocument();
  for (const RuleRecord& r : ws.rules()) EXPECT_FALSE(r.Used || r.Count) << r.Id;
  ws.openMap(other);
  const MapInfo& d = ws.document();
  EXPECT_EQ(d.ID, "7");
  EXPECT_EQ(d.Name, "Other");
  EXPECT_EQ(d.TypeSet, "");
  EXPECT_EQ(d.CopyRight, "");
  EXPECT_EQ(d.Levels, 1);
  EXPECT_EQ(childTexts(1), std::vector<std::string>{});
  EXPECT_EQ(childTexts(2), std::vector<std::string>{"0x01 [1] city"});
  EXPECT_EQ(childTexts(3), std::vector<std::string>{"0x02 [1] trail"});
  const RuleRecord* lake = row("0x4c", 1);
  ASSERT_NE(lake, nullptr);
  EXPECT_FALSE(lake->Used);
  ui.saveFiles = {folder.file("other.set")};
  ws.save();
  EXPECT_NE(readFile(folder.file("other.set")).find("label+=\"!\";"), std::string::npos);
}

}  // namespace
}  // namespace visual
