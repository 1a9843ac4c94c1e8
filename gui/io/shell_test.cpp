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
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "PATH"}) {
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
      if (std::string(name) != "PATH") ::unsetenv(name);
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

// A converter that records its arguments, one a line, and the folder it ran in.
constexpr const char* kRecorder =
    "#!/bin/sh\npwd > ran-in.txt\nprintf '%s\\n' \"$@\" > args.txt\nexit 2\n";

TEST_F(ShellTest, RunsTheConverterDirectlyInTheBatchFolder) {
  // Shell syntax in a folder name must reach the converter as bytes, never as a command.
  const fs::path hostile = dir_ / "$(touch PWNED) `touch PWNED` \"q\" ; x";
  fs::create_directory(hostile);
  const std::string h = hostile.string();
  std::ofstream(hostile / "zarvex.sh") << kRecorder;
  fs::permissions(hostile / "zarvex.sh", fs::perms::owner_all);
  const std::vector<std::string> command = {h + "/zarvex.sh", "-h", h + "/town head.txt",
                                            h + "/town.cfg", h + "/town_multilevel.mp"};
  std::string expected;
  for (std::size_t i = 1; i < command.size(); ++i) expected += command[i] + "\n";

  for (const bool detached : {true, false}) {
    SCOPED_TRACE(detached ? "detached" : "waited");
    fs::remove(hostile / "args.txt");
    const ConverterRun run{h + "/town.bat", command};
    if (detached)
      ASSERT_TRUE(startConversion(run));
    else
      EXPECT_EQ(runConversion(run), 2);
    const auto got = [&](const char* name) {
      return waitFor((hostile.filename() / name).string(), std::chrono::seconds(180));
    };
    EXPECT_EQ(got("args.txt"), expected);
    EXPECT_EQ(got("ran-in.txt"), h + "\n");
  }
  EXPECT_FALSE(fs::exists(dir_ / "PWNED"));
  EXPECT_FALSE(fs::exists(hostile / "PWNED"));
}

TEST_F(ShellTest, DoesNotWaitForADetachedRunNorLeaveAChild) {
  // The run finishes only once the test lets it, so no clock decides: had the call waited for
  // the run, the run would have given up waiting and written "alone".
  write("slow.sh",
        "#!/bin/sh\ni=0\nwhile [ ! -e go ] && [ $i -lt 1200 ]; do sleep 0.1; i=$((i+1)); done\n"
        "if [ -e go ]; then echo late > late.txt; else echo alone > late.txt; fi\n");
  fs::permissions(dir_ / "slow.sh", fs::perms::owner_all);
  ASSERT_TRUE(startConversion({(dir_ / "t.bat").string(), {(dir_ / "slow.sh").string()}}));
  write("go", "");
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  EXPECT_EQ(waitFor("late.txt", std::chrono::seconds(180)), "late\n");
}

TEST_F(ShellTest, FindsABareConverterNameInPath) {
  write("zarvex", kRecorder);
  fs::permissions(dir_ / "zarvex", fs::perms::owner_all);
  ::setenv("PATH", ("/nonexistent:" + dir_.string()).c_str(), 1);
  EXPECT_EQ(runConversion({(dir_ / "t.bat").string(), {"zarvex", "a b"}}), 2);
  EXPECT_EQ(waitFor("args.txt", std::chrono::seconds(180)), "a b\n");
}

TEST_F(ShellTest, FailsWhenTheConverterCannotRun) {
  write("plain.txt", "not a program\n");
  const std::string bat = (dir_ / "t.bat").string();
  for (const std::vector<std::string>& command : {std::vector<std::string>{},
                                                  {(dir_ / "none").string()},
                                                  {(dir_ / "plain.txt").string()},
                                                  {dir_.string()}}) {
    EXPECT_FALSE(startConversion({bat, command}));
    EXPECT_EQ(runConversion({bat, command}), -1);
  }
  EXPECT_FALSE(
      startConversion({(dir_ / "no/such/folder/t.bat").string(), {(dir_ / "plain.txt").string()}}));
}

}  // namespace
}  // namespace visual
