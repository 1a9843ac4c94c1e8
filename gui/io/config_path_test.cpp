#include "gui/io/config_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "gui/io/profile_file.h"

namespace visual {
namespace {

namespace fs = std::filesystem;

class ConfigPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    std::string pattern = (fs::temp_directory_path() / "config-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    ::setenv("HOME", (dir_ / "home").c_str(), 1);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  fs::path dir_;
};

TEST_F(ConfigPathTest, PlacesTheIniFileInTheConfigFolder) {
  const std::string xdg = (dir_ / "xdg" / "deeper").string();
  const std::string home = (dir_ / "home" / ".config").string();
  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {xdg, xdg},
      {std::nullopt, home},
      {"", home},
      {"relative/config", home},
  };
  for (const auto& [variable, folder] : cases) {
    if (variable) {
      ::setenv("XDG_CONFIG_HOME", variable->c_str(), 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
    const std::string path = iniFilePath();
    EXPECT_EQ(path, folder + "/visualzarvex.ini") << variable.value_or("(unset)");
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
    // The first write must succeed on a fresh account.
    EXPECT_TRUE(writeProfileString(path, "main", "DirDAT_Text", "/maps"));
    EXPECT_EQ(readProfileString(path, "main", "DirDAT_Text", ""), "/maps");
    fs::remove(path);
  }
  EXPECT_FALSE(fs::exists("relative"));
}

}  // namespace
}  // namespace visual
