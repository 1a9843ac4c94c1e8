#include "gui/io/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/io/test_support.h"
#include "gui/io/text_util.h"

namespace visual {
namespace {

std::vector<std::string> linesOf(const std::string& content) {
  TempFolder folder;
  LineReader reader;
  EXPECT_TRUE(reader.open(folder.write("f.txt", content)));
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  EXPECT_EQ(reader.error(), "");
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, EveryLineEnd) {
  const struct {
    std::string content;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\rc", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\rb\n\r\n", {"a", "", "b", ""}},
      {"\r\n", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(linesOf(c.content), c.lines) << c.content;
}

// Lines that cross the reader's block boundary, CR LF split between blocks included.
TEST(LineReader, LongLinesAndBlockBoundaries) {
  const std::size_t block = std::size_t{4} << 20;
  for (const std::size_t first : {block - 1, block, block + 1, 3 * block + 7}) {
    const std::string longLine(first, 'x');
    const Lines lines = linesOf(longLine + "\r\nshort\rlast");
    ASSERT_EQ(lines.size(), 3u) << first;
    EXPECT_EQ(lines[0].size(), first);
    EXPECT_EQ(lines[1], "short");
    EXPECT_EQ(lines[2], "last");
  }
}

TEST(LineReader, MissingFileReportsThePlatformText) {
  LineReader reader;
  EXPECT_FALSE(reader.open("no-such-dir/no-such-file.mp"));
  EXPECT_FALSE(reader.error().empty());
}

TEST(TextUtil, ParseInteger) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {{"12", 12},
               {" 7 ", 7},
               {"-1", -1},
               {"0x1F", 31},
               {"0X10", 16},
               {"", std::nullopt},
               {"abc", std::nullopt},
               {"1 2", std::nullopt},
               {"0x", std::nullopt},
               {"--3", std::nullopt},
               {"99999999999", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << c.text;
}

TEST(TextUtil, CaseInsensitiveSearchAndTrim) {
  EXPECT_EQ(findNoCase("Label=X TYPE=0x1", "type="), 8u);
  EXPECT_EQ(findNoCase("abc", "abcd"), std::string_view::npos);
  EXPECT_TRUE(startsWithNoCase("LEVEL1=20", "level"));
  EXPECT_EQ(trimmed(" \t x y \r"), "x y");
  EXPECT_TRUE(isBlankOrComment("   "));
  EXPECT_TRUE(isBlankOrComment(";x"));
  EXPECT_FALSE(isBlankOrComment(" ;x"));
}

}  // namespace
}  // namespace visual
