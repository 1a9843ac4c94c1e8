#include "gui/io/map_read_mode.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "gui/io/test_support.h"

namespace visual {
namespace {

const std::string kHeader = "[IMG ID]\nID=1\n";
const std::string kHeaderEnd = "[END-IMG ID]\n";
const std::string kPoint = "[POI]\nType=0x2f06\nData0=(1,2)\n[END]\n";

TEST(MapReadMode, LenientOnlyWhenStrictStopsAndLenientReads) {
  const struct {
    const char* name;
    std::string map;
    bool lenient;
    std::string note;
  } cases[] = {
      {"strict", ";comment\n" + kHeader + kHeaderEnd + kPoint, false, ""},
      {"header keys, each named once",
       kHeader + "MG=Y\nTransparent=N\n" + kHeaderEnd +
           "[POI]\nMG=1\nType=0x2f06\nData0=(1,2)\n[END]\n",
       true, "Карта читается только в мягком режиме (--lenient): MG, Transparent"},
      {"only a comment inside a section",
       kHeader + kHeaderEnd + "[POI]\nType=0x2f06\n;note\nData0=(1,2)\n[END]\n", true,
       "Карта читается только в мягком режиме (--lenient): комментарии в секциях"},
      {"more than three",
       kHeader + "MG=Y\n" + kHeaderEnd + "[WPT]\n[END-WPT]\n" +
           "[POI]\nType=0x2f06\nLevels=1\nNonStdField=a\nData0=(1,2)\n[END]\n",
       true, "Карта читается только в мягком режиме (--lenient): MG, [WPT], Levels, …"},
      // Read leniently, the converter stops where the page says rather than at MG.
      {"malformed beyond what lenient reading skips",
       kHeader + "MG=Y\n" + kHeaderEnd + "[POI]\nType=0x2f06\nData0=(1,2\n[END]\n", true,
       "Карта не читается ни в строгом, ни в мягком режиме: строка 7: ')' expected"},
      {"malformed before anything lenient reading skips",
       kHeader + kHeaderEnd + "[POI]\nType=0x2f06\nData0=(1,2\n[END]\nMG=Y\n", false,
       "Карта не читается ни в строгом, ни в мягком режиме: строка 6: ')' expected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string path = folder.write("map.mp", c.map);
    MapReadMode mode;
    EXPECT_FALSE(mode.lenient());
    EXPECT_EQ(mode.note(1251), "");
    mode.check(path);
    EXPECT_EQ(mode.lenient(), c.lenient);
    EXPECT_EQ(mode.note(1251), c.note);
    mode.clear();
    EXPECT_FALSE(mode.lenient());
    EXPECT_EQ(mode.note(1251), "");
  }
}

TEST(MapReadMode, MapThatCannotBeOpened) {
  TempFolder folder;
  MapReadMode mode;
  mode.check(folder.file("gone.mp"));
  EXPECT_FALSE(mode.lenient());
  EXPECT_EQ(mode.note(1251), "Конвертер не сможет прочитать карту " + folder.file("gone.mp") +
                                 " (No such file or directory)");
}

TEST(MapReadMode, RefreshReadsAgainOnlyAChangedOrOtherFile) {
  TempFolder folder;
  const std::string strict = kHeader + kHeaderEnd + "[POI]\nType=0x2f06\nData0=(1,2)\n[END]\n";
  // As long as the strict map, so that only the time tells the two apart.
  const std::string lenient = kHeader + kHeaderEnd + "[POI]\nType=0x2f06\nMG=YYYYYYYY\n[END]\n";
  ASSERT_EQ(strict.size(), lenient.size());
  const std::string path = folder.write("map.mp", strict);
  const auto time = std::filesystem::last_write_time(path);
  MapReadMode mode;
  mode.check(path);
  ASSERT_FALSE(mode.lenient());

  folder.write("map.mp", lenient);
  std::filesystem::last_write_time(path, time);
  mode.refresh(path);
  EXPECT_FALSE(mode.lenient()) << "read again though size and time are unchanged";

  std::filesystem::last_write_time(path, time + std::chrono::seconds(2));
  mode.refresh(path);
  EXPECT_TRUE(mode.lenient());

  mode.refresh(folder.write("other.mp", strict));
  EXPECT_FALSE(mode.lenient());
}

}  // namespace
}  // namespace visual
