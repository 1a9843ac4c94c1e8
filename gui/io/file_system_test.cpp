#include "gui/io/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gui/io/test_support.h"

namespace visual {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = folder_.path(); }

  std::string touch(const std::string& name, const std::string& content = "") const {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }

  TempFolder folder_;
  fs::path dir_;
};

// Links exist on every POSIX system; on Windows only with a privilege.
constexpr bool kLinks =
#ifdef _WIN32
    false;
#else
    true;
#endif

TEST_F(FileSystemTest, ListsRegularFilesMatchingWithoutRegardToCase) {
  touch("Type-Russa.dat");
  touch("type-russa-ru.DAT");
  touch("Type-Other.dat");
  touch("Type-Russa.txt");
  touch("Type-[x].dat");
  touch("Type-dat");
  fs::create_directory(dir_ / "Type-Folder.dat");
  if (kLinks) {
    fs::create_symlink(dir_ / "Type-Other.dat", dir_ / "Type-Link.dat");
    fs::create_symlink(dir_ / "gone", dir_ / "Type-Broken.dat");
  } else {
    touch("Type-Link.dat");
  }
  const std::string folder = dir_.string();

  const std::pair<std::string, Names> cases[] = {
      {"Type-Russa*.dat", {"type-russa-ru.DAT", "Type-Russa.dat"}},
      {"TYPE*.DAT",
       {"Type-[x].dat", "Type-Link.dat", "Type-Other.dat", "type-russa-ru.DAT", "Type-Russa.dat"}},
      {"Type-?ussa.dat", {"Type-Russa.dat"}},
      {"Type-[x]*.dat", {"Type-[x].dat"}},
      {"*.txt", {"Type-Russa.txt"}},
      {"Type-*",
       {"Type-[x].dat", "Type-dat", "Type-Link.dat", "Type-Other.dat", "type-russa-ru.DAT",
        "Type-Russa.dat", "Type-Russa.txt"}},
      {"Type-Russa.da?", {"Type-Russa.dat"}},
      {"Type-Russa.dat?", {}},
      {"*-*-*.dat", {"type-russa-ru.DAT"}},
      {"Type-Folder.dat", {}},
  };
  for (const auto& [pattern, expected] : cases) {
    EXPECT_EQ(listFiles(folder, pattern), expected) << pattern;
  }
  EXPECT_EQ(listFiles(folder + "/", "Type-R*.dat"), listFiles(folder, "Type-R*.dat"));
  EXPECT_TRUE(listFiles((dir_ / "missing").string(), "*").empty());
}

TEST_F(FileSystemTest, OrdersNamesWithoutRegardToCaseThenByBytes) {
  // Windows has one file for both "a.dat" and "A.dat".
  const bool caseSensitive =
#ifdef _WIN32
      false;
#else
      true;
#endif
  for (const char* name : {"b.dat", "a.dat", "C.dat", "ab.dat", "\xC0.dat"}) touch(name);
  if (caseSensitive) touch("A.dat");
  Names expected = {"a.dat", "ab.dat", "b.dat", "C.dat", "\xC0.dat"};
  if (caseSensitive) expected.insert(expected.begin(), "A.dat");
  EXPECT_EQ(listFiles(dir_.string(), "*.dat"), expected);
}

TEST_F(FileSystemTest, TellsFilesFromFolders) {
  const std::string file = touch("map.mp", "12345");
  fs::create_directory(dir_ / "sub.mp");
  EXPECT_TRUE(fileExists(file));
  if (kLinks) {
    fs::create_symlink(file, dir_ / "link.mp");
    EXPECT_TRUE(fileExists((dir_ / "link.mp").string()));
  }
  EXPECT_FALSE(fileExists((dir_ / "sub.mp").string()));
  EXPECT_FALSE(fileExists((dir_ / "none.mp").string()));
  EXPECT_EQ(fileSize(file), 5u);
  EXPECT_EQ(fileSize((dir_ / "sub.mp").string()), 0u);
  EXPECT_EQ(fileSize((dir_ / "none.mp").string()), 0u);
}

// The Russian reason for a missing file, then the system's own text (on Windows the system's
// message, without its full stop) in brackets.
void expectMissingFileError(const std::string& error, const std::string& start) {
  const std::string reason = start + ": файл или папка не найдены (";
  EXPECT_EQ(error.substr(0, reason.size()), reason) << error;
  ASSERT_GT(error.size(), reason.size() + 2) << error;
  EXPECT_EQ(error.back(), ')') << error;
  EXPECT_NE(error[error.size() - 2], '.') << error;
}

TEST_F(FileSystemTest, DeletesFilesAndReportsWhatFails) {
  const std::string file = touch("old.bat");
  std::string error;
  EXPECT_TRUE(deleteFile(file, &error));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(deleteFile(file, &error));
  expectMissingFileError(error, "Не удалось удалить файл " + file);
  EXPECT_FALSE(deleteFile(dir_.string(), nullptr));
  EXPECT_TRUE(fs::is_directory(dir_));

  const std::string target = touch("kept.set");
  EXPECT_FALSE(renameOver(file, target, &error));
  expectMissingFileError(error, "Не удалось записать файл " + target);
  EXPECT_TRUE(fs::exists(target));
}

TEST(PathTest, JoinsWithOneSeparator) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
#ifdef _WIN32
      {"C:\\maps", "town.mp", "C:\\maps\\town.mp"},
      {"C:\\maps\\", "town.mp", "C:\\maps\\town.mp"},
      {"C:/maps/", "town.mp", "C:/maps/town.mp"},
      {"C:\\", "town.mp", "C:\\town.mp"},
#else
      {"/maps", "town.mp", "/maps/town.mp"},
      {"/maps/", "town.mp", "/maps/town.mp"},
      {"/", "town.mp", "/town.mp"},
#endif
      {"", "town.mp", "town.mp"},
  };
  for (const auto& [folder, name, expected] : cases) {
    EXPECT_EQ(joinPath(folder, name), expected) << folder;
  }
}

struct PathCase {
  std::string path;
  std::string folder;
  std::string name;
  std::string withoutExtension;
  std::string stem;
};

TEST(PathTest, SplitsPathsIntoTheirParts) {
  const PathCase cases[] = {
#ifdef _WIN32
      {"C:\\maps\\town.mp", "C:\\maps", "town.mp", "C:\\maps\\town", "town"},
      {"C:/maps/town.mp", "C:/maps", "town.mp", "C:/maps/town", "town"},
      // The root stays with the folder, or the folder would be the drive's current one.
      {"C:\\town.mp", "C:\\", "town.mp", "C:\\town", "town"},
      {"C:town.mp", "C:", "town.mp", "C:town", "town"},
      {"\\\\server\\maps\\town.mp", "\\\\server\\maps", "town.mp", "\\\\server\\maps\\town",
       "town"},
      {"a.b\\c", "a.b", "c", "a.b\\c", "c"},
#else
      // A backslash is an ordinary character of a POSIX name.
      {"C:\\maps\\town.mp", "", "C:\\maps\\town.mp", "C:\\maps\\town", "C:\\maps\\town"},
#endif
      {"/maps/town.mp", "/maps", "town.mp", "/maps/town", "town"},
      {"town.mp", "", "town.mp", "town", "town"},
      {"/town.mp", "/", "town.mp", "/town", "town"},
      {"a.b/c", "a.b", "c", "a.b/c", "c"},
      {"a/b.tar.gz", "a", "b.tar.gz", "a/b.tar", "b.tar"},
      {"a//b.c", "a", "b.c", "a//b", "b"},
      {"maps/", "maps", "", "maps/", ""},
      {"town.", "", "town.", "town", "town"},
      {"", "", "", "", ""},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(folderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(nameOf(c.path), c.name) << c.path;
    EXPECT_EQ(withoutExtension(c.path), c.withoutExtension) << c.path;
    EXPECT_EQ(stem(c.path), c.stem) << c.path;
  }
}

}  // namespace
}  // namespace visual
