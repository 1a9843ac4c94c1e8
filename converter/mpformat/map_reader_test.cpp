#include "converter/mpformat/map_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "converter/mpformat/map_test_support.h"
#include "converter/tokenizer/errors.h"

namespace zarvex {
namespace {

using maptest::kHeader;
using maptest::MapSource;

struct ErrorCase {
  const char* name;
  std::string text;
  const char* message;
  int32_t line;
  // About something the strict reader does not know rather than malformed text; lenient
  // reading skips or keeps it.
  bool unknown = false;
};

void expectError(const ErrorCase& c, ReadOptions options = {}) {
  SCOPED_TRACE(c.name);
  MapSource source(c.text, "test.mp", options);
  try {
    source.readAll();
    ADD_FAILURE() << "no error";
  } catch (const ParserException& e) {
    EXPECT_EQ(e.message, c.message);
    EXPECT_EQ(e.line, c.line);
  }
}

// Errors about a key or its value come after the value line has been read; the others carry the
// line on which they occur.
std::vector<ErrorCase> headerErrors() {
  return {
      {"empty file", "", "'[' expected", 0},
      {"no bracket", "IMG ID]", "'[' expected", 0},
      {"not img", "\n[ID]", "'img' expected", 1},
      {"not id", "[IMG NAME]", "'id' expected", 0},
      {"not closed", "[IMG ID)", "']' expected", 0},
      {"key not a word", "[IMG ID]\n123=4\n", "word expected", 1},
      {"key is a string", "[IMG ID]\n\"Name\"=4\n", "word expected", 1},
      {"no equals", "[IMG ID]\nName:x\n", "'=' expected", 1},
      {"end without end-img", "[IMG ID]\nName=x\n[END ID]", "'end-img' expected", 2},
      {"end-img without id", "[IMG ID]\n[END-IMG NAME]", "'id' expected", 1},
      {"end not closed", "[IMG ID]\n[END-IMG ID", "']' expected", 1},
      {"end of file", "[IMG ID]\nName=x\n", "word expected", 2},
      {"elevation lower case", "[IMG ID]\nElevation=m\n", "Unknown elevation type", 2, true},
      {"elevation empty", "[IMG ID]\nElevation=\n", "Unknown elevation type", 2, true},
      {"boolean digit", "[IMG ID]\r\nPOIIndex=1\r\n", "Unknown boolean value", 2, true},
      {"boolean word", "[IMG ID]\nRouting=yes\n", "Unknown boolean value", 2, true},
      {"boolean lower t", "[IMG ID]\nPreprocess=t\n", "Unknown boolean value", 2, true},
      {"number", "[IMG ID]\nCodePage=12a\n", "Invalid number", 2, true},
      {"number too large", "[IMG ID]\nTreSize=2147483648\n", "Invalid number", 2, true},
      {"float", "[IMG ID]\nTreMargin=0.5x\n", "Invalid float number", 2, true},
      {"unknown key", "[IMG ID]\nDatum=W84\n", "Unknown variable: datum", 2, true},
      {"unknown key at end of file", "[IMG ID]\nDatum=W84", "Unknown variable: datum", 1, true},
      {"object key", "[IMG ID]\nData0=(1,2)\n", "Unknown variable: data0", 2, true},
      {"level before levels", "[IMG ID]\nLevel0=22\n", "Invalid level index", 2, true},
      {"level past the end", "[IMG ID]\nLevels=2\nLevel2=3\n", "Invalid level index", 3, true},
      {"negative zoom", "[IMG ID]\nLevels=2\nZoom-1=3\n", "Invalid level index", 3, true},
      {"level index not a number", "[IMG ID]\nLevels=2\nLevelx=3\n", "Invalid number", 3, true},
      {"level value", "[IMG ID]\nLevels=2\nLevel1=x\n", "Invalid number", 3, true},
      {"levels value", "[IMG ID]\nLevels=four\n", "Invalid number", 2, true},
  };
}

const char* const kSectionExpected =
    "'zipcodes', 'cities', 'regions', 'districts', 'countries', 'polyline', 'polygon', 'poi' or "
    "'restrict' expected";

std::vector<ErrorCase> objectErrors() {
  const std::string h(kHeader);
  return {
      {"key before a section", h + "Type=0x10\n", "'[' expected", 3},
      {"unknown section", h + "[POINT]\n", kSectionExpected, 3, true},
      {"rgn30", h + "[RGN30]\n", kSectionExpected, 3, true},
      {"section not a word", h + "[10]\n", kSectionExpected, 3},
      {"section not closed", h + "[POI\nType=1\n", "']' expected", 4},
      {"key not a word", h + "[POI]\n=1\n", "word expected", 4},
      {"comment inside a section", h + "[POI]\n; note\nType=1\n", "word expected", 4, true},
      {"end of file inside a section", h + "[POI]\nType=1\n", "word expected", 5},
      {"no equals", h + "[POI]\nType 1\n", "'=' expected", 4},
      {"float type", h + "[POI]\nType=4.7\n", "Number expected", 4},
      {"empty type", h + "[POI]\nType=\n[END]\n", "Number expected", 5},
      {"word end level", h + "[POI]\nEndLevel=two\n", "Number expected", 4},
      {"folded boolean", h + "[POI]\nDirIndicator=T\n", "Unknown boolean value", 4},
      {"float boolean", h + "[POI]\nDirIndicator=0.5\n", "Boolean expected", 4},
      {"string boolean", h + "[POI]\nCity=\"Y\"\n", "Boolean expected", 4},
      {"data level", h + "[POI]\nData1x=(1,2)\n", "Invalid number", 4},
      {"origin level", h + "[POI]\nOrigin_1=(1,2)\n", "Invalid number", 4},
      {"no parenthesis", h + "[POI]\nData0=1,2)\n", "'(' expected", 4},
      {"latitude", h + "[POI]\nData0=(a,2)\n", "Number expected", 4},
      {"no comma", h + "[POI]\nData0=(1 2)\n", "',' expected", 4},
      {"longitude", h + "[POI]\nData0=(1,)\n", "Number expected", 4},
      {"no closing parenthesis", h + "[POI]\nData0=(1,2,3)\n", "')' expected", 4},
      {"trailing comma", h + "[POI]\nData0=(1,2),\n[END]\n", "'(' expected", 5},
      {"zip in a point", h + "[POI]\nZip=12345\n", "Unknown variable: zip", 4, true},
      {"zip in a restriction", h + "[Restrict]\nZip=12345\n", "Unknown variable: zip", 4, true},
      {"list key in a point", h + "[POI]\nCountry1=X\n", "Unknown variable: country1", 4, true},
      {"end of another kind", h + "[POI]\nType=1\n[END-RGN40]\n", "'end' expected", 5, true},
      {"end not closed", h + "[POI]\nType=1\n[END\n", "']' expected", 6},
      {"second object", h + "[POI]\nType=1\n[END]\n\n; c\n[POI]\nLbl=x\n", "Unknown variable: lbl",
       9, true},
  };
}

TEST(MapReaderTest, HeaderErrors) {
  for (const ErrorCase& c : headerErrors()) expectError(c);
}

TEST(MapReaderTest, ObjectErrors) {
  for (const ErrorCase& c : objectErrors()) expectError(c);
}

// Lenient reading only passes over what the strict reader does not know: malformed text stops
// it with the same message on the same line.
TEST(MapReaderTest, LenientReadingStopsAtMalformedTextAsStrictDoes) {
  for (const auto& cases : {headerErrors(), objectErrors()})
    for (const ErrorCase& c : cases)
      if (!c.unknown) expectError(c, maptest::kLenient);
}

// A section that lenient reading skips must still close.
TEST(MapReaderTest, LenientReadingStopsAtUnknownSectionsThatDoNotClose) {
  const std::string h(kHeader);
  const ErrorCase cases[] = {
      {"never closed", h + "[WPT]\nName=a\n", "'end' expected", 5},
      {"opening not closed", h + "[WPT\nName=a\n", "']' expected", 4},
      {"closing not closed", h + "[WPT]\n[END-WPT\n[POI]\n", "']' expected", 5},
      // A closing line with no section to close is malformed, not a section of another kind.
      {"stray end", h + "[END-WPT]\n", kSectionExpected, 3},
      {"stray end word", h + "[END]\n", kSectionExpected, 3},
  };
  for (const ErrorCase& c : cases) expectError(c, maptest::kLenient);
}

TEST(MapReaderTest, ObjectsBeforeAnErrorStayRead) {
  MapSource source(std::string(kHeader) + "[POI]\nType=1\n[END]\n[POI]\nType=x\n[END]\n");
  EXPECT_THROW(source.readAll(), ParserException);
  ASSERT_EQ(source.reader().objects().size(), 1u);
  EXPECT_EQ(source.reader().objects()[0].type, 1);
}

TEST(MapReaderTest, HeaderFields) {
  MapSource source(
      "; before\n[img id]\nID=1436012\nNAME=  n36-012 x  \nTypeSet=Navteq\nElevation=M\n"
      "Preprocess=Y\nCodePage=1251\nLblCoding=\nTreSize=-5670\nTreMargin=0.1\nRgnLimit=1000\n"
      "; between\nPOIIndex=N\nCopyright=(c) me; 2024\nRouting=y\n[END-IMG ID]\n");
  source.reader().ReadHeader();
  const MapHeader& h = source.reader().header();
  EXPECT_EQ(h.id, "1436012");
  EXPECT_EQ(h.name, "n36-012 x");
  EXPECT_EQ(h.typeSet, "Navteq");
  EXPECT_EQ(h.elevation, 1);
  EXPECT_EQ(h.preprocess, TriState::True);
  EXPECT_EQ(h.codePage, 1251);
  EXPECT_EQ(h.lblCoding, 0);
  EXPECT_EQ(h.treSize, -5670);
  EXPECT_EQ(h.treMargin, 0.1f);
  EXPECT_EQ(h.rgnLimit, 1000);
  EXPECT_EQ(h.poiIndex, TriState::False);
  EXPECT_EQ(h.copyright, "(c) me; 2024");
  EXPECT_EQ(h.routing, TriState::True);
  EXPECT_TRUE(h.levels.empty());
  EXPECT_EQ(source.tokenizer().lineCount, 16);
}

TEST(MapReaderTest, HeaderLevels) {
  MapSource source(
      "[IMG ID]\nElevation=F\nLevels=4\nLevel0=24\nLEVEL3=18\nZoom3=3\nLevels=0\nLevels=-2\n"
      "Levels=9\nLevel10=9\nLevel123=7\nZoom12=5\nLevel=30\nZoom=1\n[END-IMG ID]\n");
  source.reader().ReadHeader();
  const MapHeader& h = source.reader().header();
  EXPECT_EQ(h.elevation, 0);
  ASSERT_EQ(h.levels.size(), 13u);
  EXPECT_EQ(h.levels[0].bits, 30);
  EXPECT_EQ(h.levels[0].zoom, 1);
  for (size_t i : {1, 2}) {
    EXPECT_EQ(h.levels[i].bits, 0);
    EXPECT_EQ(h.levels[i].zoom, 0);
  }
  EXPECT_EQ(h.levels[3].bits, 18);
  EXPECT_EQ(h.levels[3].zoom, 3);
  EXPECT_EQ(h.levels[10].bits, 9);
  EXPECT_EQ(h.levels[12].bits, 7);
  EXPECT_EQ(h.levels[12].zoom, 5);
}

TEST(MapReaderTest, HugeLevelCountStaysSmall) {
  MapSource source("[IMG ID]\nLevels=2000000000\nLevel99=5\nLevels=7\n[END-IMG ID]\n");
  source.reader().ReadHeader();
  ASSERT_EQ(source.reader().header().levels.size(), 100u);
  EXPECT_EQ(source.reader().header().levels[99].bits, 5);
}

TEST(MapReaderTest, LenientHeaderSkipsWhatTheStrictReaderRefuses) {
  MapSource source(
      "[IMG ID]\nID=7\nMG=Y\nElevation=m\nCodePage=abc\nLevels=2\nLevel0=22\nLevel2=20\n"
      "LEVEL1=21\nZoom5=1\n; a note\nTransparent=N\nmg=N\nLevelx=1\nPOIIndex=Y\nMG=N\n"
      "Name=After\n[END-IMG ID]\n",
      "test.mp", maptest::kLenient);
  source.reader().ReadHeader();
  const MapHeader& h = source.reader().header();
  EXPECT_EQ(h.id, "7");
  EXPECT_EQ(h.name, "After");
  EXPECT_EQ(h.elevation, 0);
  EXPECT_EQ(h.codePage, 0);
  EXPECT_EQ(h.poiIndex, TriState::True);
  ASSERT_EQ(h.levels.size(), 2u);
  EXPECT_EQ(h.levels[0].bits, 22);
  EXPECT_EQ(h.levels[1].bits, 21);
  // Named as spelled, on the line of the key.
  EXPECT_EQ(maptest::describe(source.reader().lenientReport()),
            "header-key MG 2@3; header-value Elevation 1@4; header-value CodePage 1@5; "
            "header-value Level2 1@8; header-value Zoom5 1@10; header-key Transparent 1@12; "
            "header-key mg 1@13; header-value Levelx 1@14");
  EXPECT_EQ(source.tokenizer().lineCount, 17);
}

TEST(MapReaderTest, ParseIntText) {
  MapSource source("");
  const MapReader& r = source.reader();
  const struct {
    const char* text;
    int32_t value;
  } good[] = {{"", 0},
              {"0", 0},
              {" 12", 12},
              {"\t-5", -5},
              {"+7", 7},
              {"007", 7},
              {"2147483647", 2147483647},
              {"-2147483648", -2147483647 - 1}};
  for (const auto& c : good) EXPECT_EQ(r.parseIntText(c.text), c.value) << c.text;
  for (const char* text : {"12a", " ", "-", "+", "12 ", "0x10", "1.5", "2147483648", "-2147483649",
                           "99999999999999999999"}) {
    try {
      r.parseIntText(text);
      ADD_FAILURE() << text;
    } catch (const ParserException& e) {
      EXPECT_EQ(e.message, "Invalid number") << text;
    }
  }
  EXPECT_THROW(r.parseIntText(std::string("1\0002", 3)), ParserException);
}

TEST(MapReaderTest, ParseFloatText) {
  MapSource source("");
  const MapReader& r = source.reader();
  EXPECT_EQ(r.parseFloatText("0.5"), 0.5f);
  EXPECT_EQ(r.parseFloatText("0.1"), 0.1f);
  EXPECT_EQ(r.parseFloatText("-1e3"), -1000.0f);
  EXPECT_EQ(r.parseFloatText(""), 0.0f);
  for (const char* text : {"0.5x", "x", ".", "0.5 ", "1,5"}) {
    try {
      r.parseFloatText(text);
      ADD_FAILURE() << text;
    } catch (const ParserException& e) {
      EXPECT_EQ(e.message, "Invalid float number") << text;
    }
  }
}

TEST(MapReaderTest, ParseBoolText) {
  MapSource source("");
  const MapReader& r = source.reader();
  for (const char* text : {"T", "Y", "y"}) EXPECT_EQ(r.parseBoolText(text), TriState::True);
  for (const char* text : {"F", "N", "n"}) EXPECT_EQ(r.parseBoolText(text), TriState::False);
  for (const char* text : {"t", "f", "1", "", "Yes", " Y"})
    EXPECT_THROW(r.parseBoolText(text), ParserException) << text;
}

TEST(MapReaderTest, RealMapsStopAtTheirFirstUnknownHeaderKey) {
  const char* root = std::getenv("ZARVEX_SOURCE_DIR");
  if (root == nullptr) GTEST_SKIP() << "ZARVEX_SOURCE_DIR not set";
  const std::filesystem::path dir = std::filesystem::path(root) / ".." / "shared" / "realmaps";
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no real maps";
  const struct {
    const char* file;
    const char* message;
    int32_t line;
  } cases[] = {
      {"mapsoft2_f1_edgecases.mp", "Unknown variable: mg", 24},
      {"mapsoft2_n37-075.mp", "Unknown variable: mg", 23},
      {"mapsoft_bunch_koi8-labels.mp", "Unknown variable: transparent", 12},
      {"oaconvert_cloudmade_france.mp", "Unknown variable: transparent", 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    maptest::FilePtr file(std::fopen((dir / c.file).string().c_str(), "rb"));
    ASSERT_NE(file, nullptr);
    MapSource source(std::move(file), c.file);
    try {
      source.readAll();
      ADD_FAILURE() << "read without error";
    } catch (const ParserException& e) {
      EXPECT_EQ(e.message, c.message);
      EXPECT_EQ(e.line, c.line);
    }
  }
}

}  // namespace
}  // namespace zarvex
