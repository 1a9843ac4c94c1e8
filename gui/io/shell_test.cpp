#include "gui/io/shell.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

namespace visual {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Without a display the batch runs in a bare shell, which a test can watch through its files.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
      ::unsetenv(name);
    }
    std::string pattern = (fs::temp_directory_path() / "shell-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = fs::path(pattern) / "пакет с пробелом";
    fs::create_directory(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_.parent_path());
    for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
  }

  void write(const std::string& name, const std::string& content) const {
    std::ofstream(dir_ / name, std::ios::binary) << content;
  }

  std::optional<std::string> waitFor(const std::string& name, std::chrono::seconds limit) const {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      std::ifstream in(dir_ / name, std::ios::binary);
      std::stringstream text;
      if (in) text << in.rdbuf();
      // The shell writes a line at a time, so a file is complete once it ends with one.
      if (in && !text.str().empty() && text.str().back() == '\n') return text.str();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

  std::vector<std::pair<std::string, std::string>> saved_;
  fs::path dir_;
};

TEST_F(ShellTest, RunsTheBatchLineInTheBatchFolder) {
  write("zarvex.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" > args.txt\n");
  fs::permissions(dir_ / "zarvex.sh", fs::perms::owner_all);
  const std::string d = dir_.string();
  write("town.bat", "\"" + d + "/zarvex.sh\" -h \"" + d + "/town head.txt\" \"" + d +
                        "/town.cfg\" \"" + d +
                        "/town_multilevel.mp\"\npause\necho $? > done.txt\n");

  ASSERT_TRUE(openBatchFile((dir_ / "town.bat").string()));

  // "pause" ran as the provided function: without a terminal it returns at once, with 0.
  EXPECT_EQ(waitFor("done.txt", std::chrono::seconds(180)), "0\n");
  EXPECT_EQ(waitFor("args.txt", std::chrono::seconds(180)),
            "-h\n" + d + "/town head.txt\n" + d + "/town.cfg\n" + d + "/town_multilevel.mp\n");
}

TEST_F(ShellTest, DoesNotWaitForTheBatchNorLeaveAChild) {
  // The batch finishes only once the test lets it, so no clock decides: had the call waited for
  // the batch, the batch would have given up waiting and written "alone".
  write("slow.bat",
        "i=0\nwhile [ ! -e go ] && [ $i -lt 1200 ]; do sleep 0.1; i=$((i+1)); done\n"
        "if [ -e go ]; then echo late > late.txt; else echo alone > late.txt; fi\n");
  ASSERT_TRUE(openBatchFile((dir_ / "slow.bat").string()));
  write("go", "");
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  EXPECT_EQ(waitFor("late.txt", std::chrono::seconds(180)), "late\n");
}

TEST_F(ShellTest, FailsWhenThereIsNoBatchFile) {
  EXPECT_FALSE(openBatchFile((dir_ / "none.bat").string()));
  EXPECT_FALSE(openBatchFile(dir_.string()));
  EXPECT_FALSE(openBatchFile(""));
}

}  // namespace
}  // namespace visual
