#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "gui/io/file_system.h"
#include "gui/io/shell.h"
#include "gui/io/test_support.h"

namespace visual {
namespace {

// Blanks, '&' and '%' would each change a command line that went through cmd; the converter
// must get the words as they are, in the batch file's folder.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = folder_.file("work & 100% done");
    folder_.write("work & 100% done/a map.mp", readFile(sourceDir() + "/examples/town.mp"));
    folder_.write("work & 100% done/rules & more.cfg",
                  "file \"a map.mp\" { export=true; }\n");
    folder_.write("work & 100% done/head er.txt", "[IMG ID]\nID=%\n[END-IMG ID]\n");
  }

  ConverterRun conversion(const std::string& converter) const {
    return {joinPath(dir_, "run.bat"), {converter, "-h", "head er.txt", "rules & more.cfg",
                                        "out put.mp"}};
  }

  TempFolder folder_;
  std::string dir_;
};

TEST_F(ShellTest, RunsTheConverterWithItsWordsInTheBatchFolder) {
  EXPECT_EQ(runConversion(conversion(ZARVEX_BINARY)), 0);
  EXPECT_NE(readFile(joinPath(dir_, "out put.mp")).find("[END-IMG ID]"), std::string::npos);
}

TEST_F(ShellTest, FindsABareConverterNameInPath) {
  const char* old = std::getenv("PATH");
  const std::string saved = old ? old : "";
  setEnvironment("PATH", (folderOf(ZARVEX_BINARY) + ";" + saved).c_str());
  const int code = runConversion(conversion(nameOf(ZARVEX_BINARY)));
  setEnvironment("PATH", saved.c_str());
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(fileExists(joinPath(dir_, "out put.mp")));
}

TEST_F(ShellTest, FailsWhenNothingCanBeStarted) {
  EXPECT_EQ(runConversion(conversion(joinPath(dir_, "missing.exe"))), -1);
  EXPECT_EQ(runConversion(ConverterRun{joinPath(dir_, "run.bat"), {}}), -1);
  EXPECT_FALSE(startConversion({joinPath(dir_, "missing.bat"), {}}));
}

TEST_F(ShellTest, OpensTheBatchFileInItsFolder) {
  folder_.write("work & 100% done/run.bat", "cd > ran-in.txt\r\n");
  ASSERT_TRUE(startConversion({joinPath(dir_, "run.bat"), {}}));
  // The shell starts the batch file and returns at once; minutes are a limit for hangs only.
  const std::string record = joinPath(dir_, "ran-in.txt");
  for (int i = 0; i < 3000 && readFile(record).find('\n') == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(readBytes(record), dir_ + "\r\n");
}

}  // namespace
}  // namespace visual
