#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "converter/mpformat/comment_attribute.h"
#include "converter/mpformat/map_reader.h"
#include "converter/mpformat/map_test_support.h"

namespace zarvex {
namespace {

using maptest::kHeader;
using maptest::MapSource;

std::deque<MapObject> readObjects(const std::string& objects) {
  MapSource source(std::string(kHeader) + objects);
  source.readAll();
  return std::move(source.reader().objects());
}

MapObject readOne(const std::string& object) {
  std::deque<MapObject> objects = readObjects(object);
  EXPECT_EQ(objects.size(), 1u);
  return objects.empty() ? MapObject{} : std::move(objects.front());
}

struct LenientRead {
  std::deque<MapObject> objects;
  std::string report;
};

LenientRead readLeniently(const std::string& objects) {
  MapSource source(std::string(kHeader) + objects, "test.mp", maptest::kLenient);
  source.readAll();
  return {std::move(source.reader().objects()), maptest::describe(source.reader().lenientReport())};
}

TEST(MapObjectReaderTest, SectionWordsGiveKinds) {
  const struct {
    const char* open;
    const char* close;
    ObjectKind kind;
  } cases[] = {
      {"[POI]", "[END]", ObjectKind::Point},
      {"[RGN10]", "[END]", ObjectKind::Point},
      {"[rgn20]", "[end]", ObjectKind::Point},
      {"[POLYLINE]", "[END]", ObjectKind::Line},
      {"[RGN40]", "[END-ZIPCODES]", ObjectKind::Line},
      {"[POLYGON]", "[END-RESTRICT]", ObjectKind::Polygon},
      {"[RGN80]", "[END]", ObjectKind::Polygon},
      {"[Restrict]", "[END-Restrict]", ObjectKind::Restriction},
      {"[Countries]", "[END-Countries]", ObjectKind::Countries},
      {"[REGIONS]", "[END-REGIONS]", ObjectKind::Regions},
      {"[Districts]", "[END-Districts]", ObjectKind::Districts},
      {"[Cities]", "[END-Cities]", ObjectKind::Cities},
      {"[ZipCodes]", "[END-ZipCodes]", ObjectKind::ZipCodes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.open);
    EXPECT_EQ(readOne(std::string(c.open) + "\n" + c.close + "\n").kind, c.kind);
  }
}

TEST(MapObjectReaderTest, KeysFillTheirFields) {
  using Get = std::function<std::string(const MapObject&)>;
  auto field = [](TextField f) { return [f](const MapObject& o) { return o.get(f); }; };
  const struct {
    const char* line;
    Get get;
    const char* expected;
  } cases[] = {
      {"Label=  Main  Street  ", [](const MapObject& o) { return o.label; }, "Main  Street"},
      {"CountryName=Land", field(TextField::countryName), "Land"},
      {"RegionName=Reg", field(TextField::regionName), "Reg"},
      {"DistrictName=Dist", field(TextField::districtName), "Dist"},
      {"CityName=Town", field(TextField::cityName), "Town"},
      {"CityIdx=3", field(TextField::cityIdx), "3"},
      {"ZipIdx=4", field(TextField::zipIdx), "4"},
      {"StreetDesc=Long Road", field(TextField::streetDesc), "Long Road"},
      {"HouseNumber=12a", field(TextField::houseNumber), "12a"},
      {"Phone=+7 495", field(TextField::phone), "+7 495"},
      {"Fax=1", field(TextField::fax), "1"},
      {"EMail=a@b.c", field(TextField::email), "a@b.c"},
      {"WebPage=http://x/y;z", field(TextField::webPage), "http://x/y;z"},
      {"Text=\"quoted\" \\n", field(TextField::text), "\"quoted\" \\n"},
      {"Background=Y", field(TextField::background), "Y"},
      {"RouteParamExt=1", field(TextField::routeParamExt), "1"},
      {"RouteParams=4,0,0", field(TextField::routeParams), "4,0,0"},
      {"DontFind=Y", field(TextField::dontFind), "Y"},
      {"RoadID=77", field(TextField::roadId), "77"},
      {"RouteParam=3,0", field(TextField::routeParam), "3,0"},
      {"Nod=1,2,3", field(TextField::nod), "1,2,3"},
      {"TraffPoints=5,6", field(TextField::traffPoints), "5,6"},
      {"TraffRoads=7,8", field(TextField::traffRoads), "7,8"},
      {"Time=", field(TextField::time), ""},
      {"Label=\xc3\xe5\xf0", [](const MapObject& o) { return o.label; }, "\xc3\xe5\xf0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const MapObject o = readOne(std::string("[POI]\n") + c.line + "\r\nType=1\n[END]\n");
    EXPECT_EQ(c.get(o), c.expected);
    EXPECT_EQ(o.type, 1);
  }
}

TEST(MapObjectReaderTest, NumberAndBooleanKeys) {
  const MapObject o = readOne("[POI]\nType=0x2f\nEndLevel=3\nDirIndicator=Y\nCity=0\n[END]\n");
  EXPECT_EQ(o.type, 47);
  EXPECT_EQ(o.endLevel, 3);
  EXPECT_EQ(o.dirIndicator, TriState::True);
  EXPECT_EQ(o.city, TriState::False);
  const MapObject p = readOne("[POI]\nType=47\nDirIndicator=1\nCity=n\n[END]\n");
  EXPECT_EQ(p.type, 47);
  EXPECT_EQ(p.dirIndicator, TriState::True);
  EXPECT_EQ(p.city, TriState::False);
  EXPECT_EQ(readOne("[POI]\nType=-1\n[END]\n").type, -1);
  EXPECT_EQ(readOne("[POI]\n[END]\n").city, TriState::Unset);
}

TEST(MapObjectReaderTest, CoordinateLines) {
  const MapObject o = readOne(
      "[POLYLINE]\nData0=(45.5,9.25),(45.6,9.3)\nOrigin2=(-1,2)\nData=(1,2),\n  (3.,-4.5)\n"
      "DATA1=(0.000001,179.999999)\n[END]\n");
  ASSERT_EQ(o.data.size(), 4u);
  EXPECT_EQ(o.data[0].level, 0);
  ASSERT_EQ(o.data[0].points.size(), 2u);
  EXPECT_EQ(o.data[0].points[0].lat, 45.5);
  EXPECT_EQ(o.data[0].points[0].lon, 9.25);
  EXPECT_EQ(o.data[0].points[1].lat, 45.6);
  EXPECT_EQ(o.data[1].level, 2);
  EXPECT_EQ(o.data[1].points[0].lat, -1.0);
  EXPECT_EQ(o.data[1].points[0].lon, 2.0);
  EXPECT_EQ(o.data[2].level, 0);
  ASSERT_EQ(o.data[2].points.size(), 2u);
  EXPECT_EQ(o.data[2].points[1].lat, 3.0);
  EXPECT_EQ(o.data[2].points[1].lon, -4.5);
  EXPECT_EQ(o.data[3].level, 1);
  EXPECT_DOUBLE_EQ(o.data[3].points[0].lon, 179.999999);
  for (const DataLine& line : o.data) EXPECT_EQ(line.ringRole, RingRole::None);
}

TEST(MapObjectReaderTest, StoredObjectsCarryNoSpareCapacity) {
  std::string points;
  for (int i = 0; i < 1000; ++i) points += (i ? "," : "") + std::string("(55.5,37.5)");
  std::string text = "; a=1\n; b=2\n; c=3\n[POLYGON]\n";
  for (int i = 0; i < 5; ++i) text += "Data0=" + points + "\n";
  text += "Nod1=1\nNod2=2\nNod3=3\nNumbers1=1\nNumbers2=2\nNumbers3=3\nPhone=1\nFax=2\nText=3\n";
  const MapObject o = readOne(text + "[END]\n");
  ASSERT_EQ(o.data.size(), 5u);
  EXPECT_EQ(o.data.capacity(), o.data.size());
  for (const DataLine& line : o.data) EXPECT_EQ(line.points.capacity(), line.points.size());
  EXPECT_EQ(o.comments.capacity(), o.comments.size());
  EXPECT_EQ(o.nodEntries().capacity(), 3u);
  EXPECT_EQ(o.numbersEntries().capacity(), 3u);
}

TEST(MapObjectReaderTest, PolygonRingsAreClassified) {
  const MapObject o = readOne(
      "[POLYGON]\nData0=(0,0),(0,4),(4,4),(4,0)\nData0=(1,1),(2,1),(2,2)\n"
      "Data1=(10,10),(10,11),(11,11)\n[END]\n");
  ASSERT_EQ(o.data.size(), 3u);
  EXPECT_EQ(o.data[0].ringRole, RingRole::Outer);
  EXPECT_EQ(o.data[1].ringRole, RingRole::Hole);
  EXPECT_EQ(o.data[2].ringRole, RingRole::Outer);
}

TEST(MapObjectReaderTest, EntriesAndListRecords) {
  const MapObject r =
      readOne("[Restrict]\nNod=100\nTraffPoints=1,2,3\nTraffRoads=4,5\nTime=\n[END-Restrict]\n");
  EXPECT_EQ(r.kind, ObjectKind::Restriction);
  EXPECT_EQ(r.get(TextField::nod), "100");
  EXPECT_EQ(r.get(TextField::traffRoads), "4,5");

  const MapObject p =
      readOne("[POLYLINE]\nNod1=0,1234,0\nNOD2=5,6,1\nNumbers1=0,O,1,9,O,2,8\nNodx=\n[END]\n");
  ASSERT_EQ(p.nodEntries().size(), 3u);
  EXPECT_EQ(p.nodEntries()[0].key, "nod1");
  EXPECT_EQ(p.nodEntries()[0].value, "0,1234,0");
  EXPECT_EQ(p.nodEntries()[1].key, "nod2");
  EXPECT_EQ(p.nodEntries()[2].key, "nodx");
  EXPECT_EQ(p.nodEntries()[2].value, "");
  ASSERT_EQ(p.numbersEntries().size(), 1u);
  EXPECT_EQ(p.numbersEntries()[0].key, "numbers1");
  EXPECT_EQ(p.numbersEntries()[0].value, "0,O,1,9,O,2,8");

  const MapObject c =
      readOne("[Countries]\nCountry1=Russia~[0x1d]RUS\nZip=12345\nLabel=L\n[END-Countries]\n");
  ASSERT_EQ(c.listRecords().size(), 2u);
  EXPECT_EQ(c.listRecords()[0].key, "country1");
  EXPECT_EQ(c.listRecords()[0].value, "Russia~[0x1d]RUS");
  EXPECT_EQ(c.listRecords()[1].key, "zip");
  EXPECT_EQ(c.label, "L");
  EXPECT_EQ(c.listEntries(ObjectKind::Countries).size(), 2u);
  EXPECT_TRUE(c.listEntries(ObjectKind::Regions).empty());
}

// Long values take the tokenizer's buffer with them; the values read after one must not miss
// or keep any of it.
TEST(MapObjectReaderTest, LongValuesAndTheValuesAfterThem) {
  const std::string label(10000, 'L'), text(5000, 'T'), nod(4096, '1');
  const MapObject o =
      readOne("[POLYLINE]\nLabel=" + label + "  \nText=" + text + "\nPhone=12\nNod1=" + nod +
              "\nNod2=0,1,0\nCityName=" + label + "\nData0=(1,2),(3,4)\n[END]\n");
  EXPECT_EQ(o.label, label);
  EXPECT_EQ(o.get(TextField::text), text);
  EXPECT_EQ(o.get(TextField::phone), "12");
  EXPECT_EQ(o.get(TextField::cityName), label);
  ASSERT_EQ(o.nodEntries().size(), 2u);
  EXPECT_EQ(o.nodEntries()[0].value, nod);
  EXPECT_EQ(o.nodEntries()[1].value, "0,1,0");
  ASSERT_EQ(o.data.size(), 1u);
  EXPECT_EQ(o.data[0].points.size(), 2u);
}

TEST(MapObjectReaderTest, CommentAttributes) {
  const struct {
    const char* text;
    bool taken;
    const char* key;
    const char* value;
  } cases[] = {
      {" RLENGTH=120", true, "RLENGTH", "120"},
      {"  Owner = X  ", true, "Owner", "X"},
      {" Two words = a b ", true, "Two words", "a b"},
      {" key=", true, "key", ""},
      {" key=  ", true, "key", ""},
      {"\tTab\t=\tv\t", true, "\tTab\t", "\tv\t"},
      {" k=a=b", true, "k", "a=b"},
      {"AB=1", true, "AB", "1"},
      {" no equals sign", false, "", ""},
      {"=starts", false, "", ""},
      {"A=1", false, "", ""},
      {"A =1", false, "", ""},
      {"   =1", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto attribute = parseCommentAttribute(c.text);
    ASSERT_EQ(attribute.has_value(), c.taken);
    if (!attribute) continue;
    EXPECT_EQ(attribute->key, c.key);
    EXPECT_EQ(attribute->value, c.value);
  }
}

TEST(MapObjectReaderTest, CommentsBeforeASectionAndOrigin) {
  MapSource source(std::string(kHeader) +
                   "\n; RLENGTH=120\n;  Owner = X  \n; plain\n;=x\n;A=1\n[POI]\nType=1\n[END]\n"
                   "\n; Next=1\n\n[POI]\n[END]\n[POI]\n[END]\n; trailing\n");
  MapReader& reader = source.reader();
  reader.ReadHeader();
  source.tokenizer().returnComments = true;
  EXPECT_TRUE(reader.ReadObject());
  EXPECT_TRUE(reader.ReadObject());
  EXPECT_TRUE(reader.ReadObject());
  EXPECT_FALSE(reader.ReadObject());
  const std::deque<MapObject>& objects = reader.objects();
  ASSERT_EQ(objects.size(), 3u);
  ASSERT_EQ(objects[0].comments.size(), 2u);
  EXPECT_EQ(objects[0].comments[0].key, "RLENGTH");
  EXPECT_EQ(objects[0].comments[0].value, "120");
  EXPECT_EQ(objects[0].comments[1].key, "Owner");
  EXPECT_EQ(objects[0].comments[1].value, "X");
  ASSERT_EQ(objects[1].comments.size(), 1u);
  EXPECT_TRUE(objects[2].comments.empty());
  // The first object starts where the header closed; the others at their first comment or
  // section line.
  EXPECT_EQ(objects[0].locLine, 2u);
  EXPECT_EQ(objects[1].locLine, 13u);
  EXPECT_EQ(objects[2].locLine, 17u);
  EXPECT_EQ(objects[0].locFileName(), "test.mp");
  EXPECT_EQ(objects[0].locFile, objects[2].locFile);
}

TEST(MapObjectReaderTest, EndOfInput) {
  const struct {
    const char* name;
    const char* rest;
    size_t objects;
    bool moreAfterFirst;
  } cases[] = {
      {"nothing", "", 0, false},
      {"blank and comment lines", "\n\n; only a note\n;k=v\n\n", 0, false},
      {"object at the very end", "[POI]\n[END]", 1, false},
      {"object then blank lines", "[POI]\n[END]\n\n\n", 1, false},
      {"object then a comment", "[POI]\n[END]\n; last\n", 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapSource source(std::string(kHeader) + c.rest);
    source.reader().ReadHeader();
    source.tokenizer().returnComments = true;
    const bool more = source.reader().ReadObject();
    EXPECT_EQ(more, c.moreAfterFirst);
    if (more) {
      EXPECT_FALSE(source.reader().ReadObject());
    }
    EXPECT_EQ(source.reader().objects().size(), c.objects);
  }
}

TEST(MapObjectReaderTest, LenientReadingKeepsUnknownKeysAsSpelled) {
  const LenientRead read = readLeniently(
      "[POLYLINE]\nType=0x4\nDirection=1\nNonStdField =  a ; b  \nMiXed_Key-2=\nLabel=x\n"
      "Data0=(1,2),(3,4)\nDirection=2\nNod1=0,5,0\n[END]\n[POI]\nType=1\n[END]\n");
  ASSERT_EQ(read.objects.size(), 2u);
  const MapObject& o = read.objects[0];
  ASSERT_EQ(o.keptKeys().size(), 4u);
  EXPECT_EQ(o.keptKeys()[0].key, "Direction");
  EXPECT_EQ(o.keptKeys()[0].value, "1");
  EXPECT_EQ(o.keptKeys()[1].key, "NonStdField");
  EXPECT_EQ(o.keptKeys()[1].value, "a ; b");
  EXPECT_EQ(o.keptKeys()[2].key, "MiXed_Key-2");
  EXPECT_EQ(o.keptKeys()[2].value, "");
  EXPECT_EQ(o.keptKeys()[3].value, "2");
  // Known keys around them are read as always.
  EXPECT_EQ(o.type, 4);
  EXPECT_EQ(o.label, "x");
  ASSERT_EQ(o.data.size(), 1u);
  EXPECT_EQ(o.data[0].points.size(), 2u);
  ASSERT_EQ(o.nodEntries().size(), 1u);
  EXPECT_TRUE(read.objects[1].keptKeys().empty());
  EXPECT_EQ(read.report,
            "object-key Direction 2@6; object-key NonStdField 1@7; "
            "object-key MiXed_Key-2 1@8");
}

TEST(MapObjectReaderTest, LenientReadingTakesLevelsAsEndLevel) {
  const LenientRead read = readLeniently(
      "[POLYGON]\nLevels=3\n[END]\n[POI]\nEndLevel=1\nLEVELS=2\n[END]\n"
      "[Countries]\nLevels=2\n[END-Countries]\n");
  ASSERT_EQ(read.objects.size(), 3u);
  EXPECT_EQ(read.objects[0].endLevel, 3);
  EXPECT_EQ(read.objects[1].endLevel, 2);
  EXPECT_TRUE(read.objects[0].keptKeys().empty());
  // A list section takes every key as a record, in lenient reading as in strict.
  ASSERT_EQ(read.objects[2].listRecords().size(), 1u);
  EXPECT_EQ(read.objects[2].listRecords()[0].key, "levels");
  EXPECT_EQ(read.report, "levels Levels 1@5; levels LEVELS 1@9");
}

TEST(MapObjectReaderTest, LenientReadingSkipsCommentsInsideSectionsAndAcceptsAnyEnd) {
  const LenientRead read = readLeniently(
      "; Owner=A\n[POI]\n; inside=1\nType=1\n;\n[END-RGN10]\n[POLYLINE]\n[END-POLYLINE]\n"
      "[Restrict]\nNod=5\n[end-]\n[POI]\n[END-RGN10]\n");
  ASSERT_EQ(read.objects.size(), 4u);
  const MapObject& p = read.objects[0];
  EXPECT_EQ(p.type, 1);
  // Only comment lines before the section are attributes.
  ASSERT_EQ(p.comments.size(), 1u);
  EXPECT_EQ(p.comments[0].key, "Owner");
  EXPECT_EQ(read.objects[2].get(TextField::nod), "5");
  EXPECT_EQ(read.report,
            "comment 2@6; end [END-RGN10] 2@9; end [END-POLYLINE] 1@11; end [end-] 1@14");
}

TEST(MapObjectReaderTest, LenientReadingSkipsSectionsOfUnknownKinds) {
  const struct {
    const char* name;
    std::string text;
    const char* report;
  } cases[] = {
      {"closed by its own end", "[WPT]\nName=a\nData0=(1,2)\n[END-WPT]\n", "section [WPT] 1@8"},
      {"closed by end", "[Background]\nx=1\n[END]\n", "section [Background] 1@8"},
      {"brackets inside", "[SHP]\nname=[x] [\n[ [END]\n", "section [SHP] 1@8"},
      {"a commented end does not close", "[FILE]\n; [END]\nq=\"[END]\n[END-FILE]\n",
       "section [FILE] 1@8"},
      {"numbers and strings", "[DICTIONARY]\nLevel1RGN40=0x11,-2.5 \"a\\\"\n[END-DICTIONARY]\n",
       "section [DICTIONARY] 1@8"},
      {"two of them", "[PLT]\n[END-PLT]\n\n[PLT]\n[END]\n", "section [PLT] 2@8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LenientRead read =
        readLeniently("[POI]\nType=1\n[END]\n; Owner=A\n" + c.text + "[POI]\nType=2\n[END]\n");
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_EQ(read.objects[1].type, 2);
    // What stood before the skipped section went with it.
    EXPECT_TRUE(read.objects[1].comments.empty());
    EXPECT_EQ(read.report, c.report);
  }
}

TEST(MapObjectReaderTest, ObjectsLeftOutOfTheListAreStillReported) {
  MapSource source(std::string(kHeader) + "[POLYGON]\nData0=(0,0),(0,1),(1,1)\nLevel=2\n[END]\n",
                   "test.mp", ReadOptions{.lenient = true, .keepObjects = false});
  source.readAll();
  EXPECT_TRUE(source.reader().objects().empty());
  EXPECT_EQ(maptest::describe(source.reader().lenientReport()), "object-key Level 1@6");
}

}  // namespace
}  // namespace zarvex
