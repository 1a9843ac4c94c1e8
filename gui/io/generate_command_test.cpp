#include "gui/io/generate_command.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "gui/io/test_support.h"

namespace visual {
namespace {

// Object sections of a map, by their opening lines.
int objectSections(const std::string& map) {
  int count = 0;
  std::istringstream in(map);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* opening :
         {"[polyline]", "[polygon]", "[poi]", "[rgn10]", "[rgn20]", "[rgn40]", "[rgn80]"})
      if (line == opening) ++count;
  }
  return count;
}

// Work on a copy of `map` in `folder` with five new levels and no stored rules, as a user has it
// right after opening the map and saving.
std::string workFile(const TempFolder& folder, const std::string& name, const std::string& map) {
  const std::string copy = folder.write(name + ".mp", map);
  return folder.write(name + ".set",
                      "[Header]\nID=1\neName=" + name + "\nTypeSet=Sample\nFileName=" + copy +
                          "\nNewLevels=5\nNewLevel0=24\nNewZoom0=0\nNewLevel1=22\nNewZoom1=1\n"
                          "NewLevel2=20\nNewZoom2=2\nNewLevel3=18\nNewZoom3=3\nNewLevel4=16\n"
                          "NewZoom4=4\n[AllRec]\nRecCount=0\n");
}

#ifdef _WIN32
constexpr const char* kIniFolderVariable = "APPDATA";
#else
constexpr const char* kIniFolderVariable = "XDG_CONFIG_HOME";
#endif

// The batch file's paths as the script's quoted string holds them.
std::string scriptPath(const std::string& path) {
  return replaced(path, "\\", "\\\\");
}

// Runs the batch file as the user would (on Windows the file itself through cmd /c, its
// "pause" answered by the empty input; elsewhere its command line); its exit code.
int runBatchLine(const std::string& batch, const std::string& errorFile) {
#ifdef _WIN32
  // cmd /c drops the first and the last quote of its line, hence the outer pair.
  return std::system(("\"\"" + batch + "\" <NUL >NUL 2>\"" + errorFile + "\"\"").c_str());
#else
  const std::string text = readFile(batch);
  const std::string command = text.substr(0, text.find('\n'));
  const int status = std::system((command + " >/dev/null 2>\"" + errorFile + "\"").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

class GenerateCommandTest : public ::testing::Test {
 protected:
  GenerateCommandTest() {
    // The command reads the user's ini file; keep it inside the test's folder.
    setEnvironment(kIniFolderVariable, folder.file("config").c_str());
    map = folder.write("work/village.mp", readFile("testdata/generate/village.mp"));
    set = folder.write("work/village.set",
                       replaced(readFile("testdata/generate/village.set"), "@MAP@", map));
    converter = folder.write("bin/zarvex", "");
    types = sourceDir() + "/examples/types";
  }

  int run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return runGenerateCommand(args, out, err);
  }

  TempFolder folder;
  std::string map, set, converter, types;
  std::ostringstream out, err;
};

TEST_F(GenerateCommandTest, WritesTheThreeFilesFromAWorkFile) {
  ASSERT_EQ(run({"--generate", set, "--types", types, "--zarvex", converter}), 0) << err.str();
  const std::string base = folder.file("work/village");
  EXPECT_EQ(out.str(), base + ".txt\n" + base + ".cfg\n" + base + ".bat\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(readFile(base + ".txt"), readFile("testdata/generate/expected.txt"));
  EXPECT_EQ(readFile(base + ".cfg"),
            replaced(readFile("testdata/generate/expected.cfg"), "@MAP@", scriptPath(map)));
  // Byte for byte: cmd wants CR LF.
  EXPECT_EQ(readBytes(base + ".bat"),
            asWritten("\"" + converter + "\" -h \"" + base + ".txt\" \"" + base + ".cfg\" \"" +
                      base + "_multilevel.mp\"\npause\n"));

  // A map the strict reader takes converts through the batch line as it is.
  ASSERT_EQ(run({"--generate", set, "--types", types, "--zarvex", ZARVEX_BINARY}), 0) << err.str();
  EXPECT_EQ(readFile(base + ".bat"), "\"" ZARVEX_BINARY "\" -h \"" + base + ".txt\" \"" + base +
                                         ".cfg\" \"" + base + "_multilevel.mp\"\npause\n");
  EXPECT_EQ(runBatchLine(base + ".bat", base + ".err"), 0) << readFile(base + ".err");
  // The conversion of every system, apart from its line ends.
  EXPECT_EQ(readFile(base + "_multilevel.mp"),
            replaced(readFile("testdata/generate/village_multilevel.mp"), "@MAP@", map));

  // Existing files are overwritten without asking.
  ASSERT_EQ(run({"--generate", set, "--types", types, "--zarvex", converter}), 0) << err.str();
}

TEST_F(GenerateCommandTest, MapsThatNeedLenientReadingGetItAndConvert) {
  struct Case {
    std::string name;
    std::string text;
  };
  std::vector<Case> maps = {{"village_lenient", readFile("testdata/generate/village_lenient.mp")}};
  const std::filesystem::path real =
      std::filesystem::path(sourceDir()) / ".." / "shared" / "realmaps";
  if (std::filesystem::is_directory(real)) {
    for (const auto& entry : std::filesystem::directory_iterator(real))
      if (entry.path().extension() == ".mp")
        maps.push_back({entry.path().stem().string(), readFile(entry.path().string())});
  }
  ASSERT_FALSE(maps.front().text.empty());
  for (const Case& c : maps) {
    SCOPED_TRACE(c.name);
    const std::string work = workFile(folder, "lenient/" + c.name, c.text);
    ASSERT_EQ(run({"--generate", work, "--types", types, "--zarvex", ZARVEX_BINARY}), 0)
        << err.str();
    EXPECT_EQ(err.str().rfind("Карта читается только в мягком режиме (--lenient): ", 0), 0u);
    const std::string base = folder.file("lenient/" + c.name);
    EXPECT_EQ(readFile(base + ".bat"), "\"" ZARVEX_BINARY "\" --lenient -h \"" + base +
                                           ".txt\" \"" + base + ".cfg\" \"" + base +
                                           "_multilevel.mp\"\npause\n");
    EXPECT_EQ(runBatchLine(base + ".bat", base + ".err"), 0) << readFile(base + ".err");
    EXPECT_EQ(objectSections(readFile(base + "_multilevel.mp")), objectSections(c.text));
  }
  if (maps.size() == 1) GTEST_SKIP() << "no real maps beside the repository";
}

TEST_F(GenerateCommandTest, FailuresPrintTheMessage) {
  EXPECT_EQ(run({"--generate", set, "--types", types}), 1);
  EXPECT_EQ(err.str(), "Укажите путь к файлу " + kConverterFileName + "!!\n");
  EXPECT_EQ(out.str(), "");

  EXPECT_EQ(run({"--generate", set, "--types", folder.file("work"), "--zarvex", converter}), 1);
  EXPECT_EQ(err.str(), "Установите путь к файлам type-*.dat программы MapEdit!!\nВ папке " +
                           folder.file("work") + " их нет\n");

  const std::string moved = folder.write(
      "work/moved.set",
      replaced(readFile("testdata/generate/village.set"), "@MAP@", folder.file("work/gone.mp")));
  EXPECT_EQ(run({"--generate", moved, "--types", types, "--zarvex", converter}), 1);
  EXPECT_EQ(err.str(), "Файл был удален или перемещен. Укажите его заново!\n");
}

TEST_F(GenerateCommandTest, TypesFolderAndConverterFromTheIniFile) {
  folder.write("config/visualzarvex.ini",
               "[main]\nDirDAT_Text=" + types +
                   "\n[dir]\ncbRun_Checked=True\nfnZARVEX_FileName=" + converter + "\n");
  EXPECT_EQ(run({"--generate", set}), 0) << err.str();
  EXPECT_EQ(readFile(folder.file("config/visualzarvex.ini")).find("False"), std::string::npos);
}

#ifndef _WIN32
TEST_F(GenerateCommandTest, RunStartsTheConverterWithThePathsAsTheyAre) {
  // A folder that a shell would read as a command; the converter records what it was given.
  const std::string work = "$(touch PWNED) `touch PWNED`";
  const std::string hostileMap = folder.write(work + "/village.mp", readFile(map));
  const std::string hostileSet =
      folder.write(work + "/village.set",
                   replaced(readFile("testdata/generate/village.set"), "@MAP@", hostileMap));
  const std::string recorder = folder.write(
      "bin/record", "#!/bin/sh\npwd > \"$0.dir\"\nprintf '%s\\n' \"$@\" > \"$0.args\"\nexit 2\n");
  std::filesystem::permissions(recorder, std::filesystem::perms::owner_all);
  folder.write(work + "/village_multilevel.mp", "old");

  EXPECT_EQ(run({"--generate", hostileSet, "--types", types, "--zarvex", recorder, "--run"}), 2)
      << err.str();
  const std::string base = folder.file(work + "/village");
  EXPECT_EQ(out.str(), base + ".txt\n" + base + ".cfg\n" + base + ".bat\n");
  EXPECT_EQ(readFile(recorder + ".args"),
            "-h\n" + base + ".txt\n" + base + ".cfg\n" + base + "_multilevel.mp\n");
  EXPECT_EQ(readFile(recorder + ".dir"), folder.file(work) + "\n");
  EXPECT_FALSE(std::filesystem::exists(base + "_multilevel.mp"));
  for (const std::string& where : {folder.path(), folder.file(work), folder.file("bin")})
    EXPECT_FALSE(std::filesystem::exists(where + "/PWNED")) << where;

  // A converter that cannot be started is the shell's failure message.
  std::filesystem::permissions(recorder, std::filesystem::perms::owner_read);
  EXPECT_EQ(run({"--generate", hostileSet, "--types", types, "--zarvex", recorder, "--run"}), 1);
  EXPECT_EQ(err.str(), "Батник не запустился, выполните вручную!\n" + base + ".bat\n");
}
#endif

TEST_F(GenerateCommandTest, UsageErrors) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--generate"},
                                               {"--generate", set, "--types"},
                                               {"--generate", set, "other.set"},
                                               {"--generate", "--bogus", set}}) {
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(err.str().find("Usage: visualzarvex --generate"), std::string::npos);
  }
}

}  // namespace
}  // namespace visual
