#include "gui/io/generate_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "gui/io/test_support.h"

namespace visual {
namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
    text.replace(at, from.size(), to), at += to.size();
  return text;
}

class GenerateCommandTest : public ::testing::Test {
 protected:
  GenerateCommandTest() {
    // The command reads the user's ini file; keep it inside the test's folder.
    ::setenv("XDG_CONFIG_HOME", folder.file("config").c_str(), 1);
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
            replaced(readFile("testdata/generate/expected.cfg"), "@MAP@", map));
  EXPECT_EQ(readFile(base + ".bat"), "\"" + converter + "\" -h \"" + base + ".txt\" \"" + base +
                                         ".cfg\" \"" + base + "_multilevel.mp\"\npause\n");

  // Existing files are overwritten without asking.
  ASSERT_EQ(run({"--generate", set, "--types", types, "--zarvex", converter}), 0) << err.str();
}

TEST_F(GenerateCommandTest, FailuresPrintTheMessage) {
  EXPECT_EQ(run({"--generate", set, "--types", types}), 1);
  EXPECT_EQ(err.str(), "Укажите путь к файлу zarvex.exe!!\n");
  EXPECT_EQ(out.str(), "");

  EXPECT_EQ(run({"--generate", set, "--types", folder.file("work"), "--zarvex", converter}), 1);
  EXPECT_EQ(err.str(), "Установите путь к файлам type-*.dat программы MapEdit!!\n");

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
  EXPECT_EQ(err.str(), "Батник не запустился, выполните вручную!\n");
}

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
