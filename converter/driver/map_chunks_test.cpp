#include "converter/driver/map_chunks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace zarvex {
namespace {

std::vector<std::string> piecesOf(const std::string& map, std::size_t chunkBytes) {
  FILE* file = std::tmpfile();
  std::fwrite(map.data(), 1, map.size(), file);
  std::rewind(file);
  MapChunks chunks(file, chunkBytes);
  std::vector<std::string> pieces;
  while (std::optional<std::string> piece = chunks.next()) pieces.push_back(std::move(*piece));
  EXPECT_TRUE(chunks.endedCleanly());
  std::fclose(file);
  return pieces;
}

TEST(MapChunksTest, CutsWhereASectionOrItsCommentsBegin) {
  const std::string head = "[IMG ID]\nName=[x]\n[END-IMG ID]\n";
  const struct {
    const char* name;
    std::string map;
    std::size_t chunkBytes;
    std::vector<std::string> pieces;
  } cases[] = {
      // The header stays with the first section after it, whose line counts from the header.
      {"sections",
       head + "[POI]\n[END]\n[POLYGON]\n[end]\n[Restrict]\n[END-Restrict]\n",
       1,
       {head + "[POI]\n[END]\n", "[POLYGON]\n[end]\n", "[Restrict]\n[END-Restrict]\n"}},
      {"comments and blank lines go with the section after them",
       head + "[POI]\n[END]\n\n; RLENGTH=1\n  ;x\n\n[POI]\n[END]\n",
       1,
       {head + "[POI]\n[END]\n\n", "; RLENGTH=1\n  ;x\n\n[POI]\n[END]\n"}},
      {"CR LF and lone CR",
       head + "[POI]\r\n[END]\r\n;c\r\n[POI]\r[END]\r[POI]\r\n",
       1,
       {head + "[POI]\r\n[END]\r\n", ";c\r\n[POI]\r[END]\r", "[POI]\r\n"}},
      // Not at the start of a line, and not a closing line: no place to cut.
      {"brackets elsewhere",
       head + "[POI]\nLabel=a\n [POI]\n[ENDX]\n",
       1,
       {head + "[POI]\nLabel=a\n [POI]\n[ENDX]\n"}},
      {"pieces of about the size asked",
       head + "[POI]\n[END]\n[POI]\n[END]\n[POI]\n[END]\n",
       head.size() + 18,
       {head + "[POI]\n[END]\n[POI]\n[END]\n", "[POI]\n[END]\n"}},
      // Whatever opens the map is taken for the header.
      {"no header",
       "[POI]\n[END]\n[POI]\n[END]\n[POI]\n",
       1,
       {"[POI]\n[END]\n[POI]\n[END]\n", "[POI]\n"}},
      {"empty", "", 1, {""}},
      {"a bracket in a comment before the header",
       ";x[y]\r\n" + head + "[POI]\n[END]\n[POI]\n",
       1,
       {";x[y]\r\n" + head + "[POI]\n[END]\n", "[POI]\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(piecesOf(c.map, c.chunkBytes), c.pieces);
  }
}

TEST(MapChunksTest, PiecesAddUpToTheMapAcrossReads) {
  std::string map = "[IMG ID]\n[END-IMG ID]\n";
  for (int i = 0; i < 20000; ++i)
    map += (i % 3 == 0 ? "; c\r\n" : "") + std::string("[POI]\nLabel=") + std::to_string(i) +
           "\n[END]\n";
  for (std::size_t chunkBytes : {std::size_t{1}, std::size_t{1000}, std::size_t{70000}}) {
    SCOPED_TRACE(chunkBytes);
    std::string joined;
    const std::vector<std::string> pieces = piecesOf(map, chunkBytes);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) {
        EXPECT_TRUE(pieces[i][0] == '[' || pieces[i][0] == ';') << pieces[i];
      }
      joined += pieces[i];
    }
    EXPECT_TRUE(joined == map);
    EXPECT_GT(pieces.size(), map.size() / (chunkBytes + 200));
  }
}

}  // namespace
}  // namespace zarvex
