#include "gui/io/config_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "gui/io/file_system.h"
#include "gui/io/profile_file.h"
#include "gui/io/test_support.h"

namespace visual {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kFolderVariable = "APPDATA";
#else
constexpr const char* kFolderVariable = "XDG_CONFIG_HOME";
#endif

class ConfigPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {kFolderVariable, "HOME"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    dir_ = folder_.path();
    setEnvironment("HOME", (dir_ / "home").string().c_str());
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) setEnvironment(name, value ? value->c_str() : nullptr);
  }

  TempFolder folder_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  fs::path dir_;
};

TEST_F(ConfigPathTest, PlacesTheIniFileInTheConfigFolder) {
  const std::string named = (dir_ / "config" / "deeper").string();
#ifdef _WIN32
  // Without the variable the shell's folder holds it, wherever that is on this system.
  const std::optional<std::string> fallback;
#else
  const std::optional<std::string> fallback = (dir_ / "home" / ".config").string();
#endif
  const std::pair<std::optional<std::string>, std::optional<std::string>> cases[] = {
      {named, named},
      {std::nullopt, fallback},
      {"", fallback},
      {"relative/config", fallback},
  };
  for (const auto& [variable, folder] : cases) {
    SCOPED_TRACE(variable.value_or("(unset)"));
    setEnvironment(kFolderVariable, variable ? variable->c_str() : nullptr);
    const std::string path = iniFilePath();
    EXPECT_EQ(nameOf(path), "visualzarvex.ini");
    // Never the bare name, which would land wherever the program was started.
    EXPECT_TRUE(fs::path(path).is_absolute()) << path;
    EXPECT_TRUE(fs::is_directory(folderOf(path))) << path;
    if (folder) {
      EXPECT_EQ(folderOf(path), *folder);
      // The first write must succeed on a fresh account.
      EXPECT_TRUE(writeProfileString(path, "main", "DirDAT_Text", "/maps"));
      EXPECT_EQ(readProfileString(path, "main", "DirDAT_Text", ""), "/maps");
      fs::remove(path);
    }
  }
  EXPECT_FALSE(fs::exists("relative"));
}

}  // namespace
}  // namespace visual
