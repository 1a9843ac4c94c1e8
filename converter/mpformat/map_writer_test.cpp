#include "converter/mpformat/map_writer.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/types.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "converter/mpformat/map_test_support.h"

namespace zarvex {
namespace {

using maptest::kHeader;
using maptest::MapSource;

GeoPoint pt(double lat, double lon) {
  return GeoPoint{lon, lat};
}

MapObject makeObject(ObjectKind kind, std::vector<std::vector<GeoPoint>> lines) {
  MapObject object;
  object.kind = kind;
  object.locFile = std::make_shared<const std::string>("m.mp");
  object.locLine = 7;
  for (auto& points : lines) object.data.push_back(DataLine{RingRole::None, 0, std::move(points)});
  return object;
}

ObjectAttributes filled(const MapObject& object) {
  ObjectAttributes attributes;
  attributes.reset();
  attributes.fill(object);
  return attributes;
}

std::string write(const MapObject& object, const ObjectAttributes& attributes) {
  maptest::FilePtr out(std::tmpfile());
  MapWriter writer;
  writer.WriteObject(object, out.get(), attributes);
  writer.flush(out.get());
  return maptest::contents(out.get());
}

/// The Data lines of written text.
std::vector<std::string> dataLines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("Data", 0) == 0) result.push_back(line);
  return result;
}

TEST(MapWriterTest, PointIsWrittenWholly) {
  MapObject o = makeObject(ObjectKind::Point, {{pt(45, 9)}, {pt(-0.5, 179.9999996)}});
  o.type = 47;
  o.label = "Spring";
  ObjectAttributes a = filled(o);
  EXPECT_EQ(write(o, a),
            "; LOC=m.mp:7\n[POI]\nType=0x2f\nLabel=Spring\n"
            "Data0=(45.000000,9.000000)\nData0=(-0.500000,180.000000)\n[END]\n\n");
  a.type = -1;
  EXPECT_EQ(dataLines(write(o, a)).size(), 2u);
  EXPECT_NE(write(o, a).find("\nType=0xffffffff\n"), std::string::npos);
}

TEST(MapWriterTest, LevelRange) {
  const MapObject o = makeObject(ObjectKind::Point, {{pt(1, 2)}});
  const struct {
    int32_t layerMin, layerMax;
    std::vector<std::string> levels;
  } cases[] = {
      {0, 0, {"0"}},
      {0, 2, {"0", "1", "2"}},
      {1, 1, {"1"}},
      {3, 0, {"3"}},
      {3, 1, {}},
      {2, -1, {"2"}},
      {9, 12, {"9", "10"}},
      {12, 0, {"10"}},
      {12, 15, {"10"}},
      {5, 2147483647, {"5", "6", "7", "8", "9", "10"}},
      // Compared as unsigned: a negative level lies beyond the table and is clamped like one.
      {-1, 0, {"10"}},
      {-3, -1, {"10"}},
      {-1, 3, {}},
      {-2, 5, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.layerMin) + ".." + std::to_string(c.layerMax));
    ObjectAttributes a = filled(o);
    a.layerMin = c.layerMin;
    a.layerMax = c.layerMax;
    const std::string text = write(o, a);
    std::vector<std::string> expected;
    for (const std::string& level : c.levels)
      expected.push_back("Data" + level + "=(1.000000,2.000000)");
    EXPECT_EQ(dataLines(text), expected);
    EXPECT_TRUE(text.ends_with("[END]\n\n"));
  }
}

TEST(MapWriterTest, EveryLineIsRepeatedUnderEveryLevel) {
  MapObject o = makeObject(ObjectKind::Line, {{pt(1, 2), pt(3, 4)}, {pt(5, 6), pt(7, 8)}});
  o.data[1].level = 4;
  o.endLevel = 2;
  const std::vector<std::string> lines = dataLines(write(o, filled(o)));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Data0=(1.000000,2.000000),(3.000000,4.000000)");
  EXPECT_EQ(lines[1], "Data0=(5.000000,6.000000),(7.000000,8.000000)");
  EXPECT_EQ(lines[4], "Data2=(1.000000,2.000000),(3.000000,4.000000)");
  EXPECT_EQ(lines[5], "Data2=(5.000000,6.000000),(7.000000,8.000000)");
}

TEST(MapWriterTest, RingsAreClosedOnlyForPolygonsWrittenAsLines) {
  MapObject polygon = makeObject(ObjectKind::Polygon, {{pt(1, 1), pt(1, 2), pt(2, 2)},
                                                       {pt(1, 1), pt(1, 2), pt(2, 2), pt(1, 1)}});
  polygon.data[0].ringRole = RingRole::Outer;
  polygon.data[1].ringRole = RingRole::Hole;
  ObjectAttributes a = filled(polygon);
  a.kind = ObjectKind::Line;
  const std::vector<std::string> asLine = dataLines(write(polygon, a));
  ASSERT_EQ(asLine.size(), 2u);
  EXPECT_EQ(asLine[0],
            "Data0=(1.000000,1.000000),(1.000000,2.000000),(2.000000,2.000000),"
            "(1.000000,1.000000)");
  EXPECT_EQ(asLine[1], asLine[0]);

  a.kind = ObjectKind::Polygon;
  EXPECT_EQ(dataLines(write(polygon, a))[0],
            "Data0=(1.000000,1.000000),(1.000000,2.000000),(2.000000,2.000000)");

  const MapObject line = makeObject(ObjectKind::Line, {{pt(1, 1), pt(1, 2), pt(2, 2)}});
  a = filled(line);
  a.kind = ObjectKind::Polygon;
  EXPECT_EQ(dataLines(write(line, a))[0],
            "Data0=(1.000000,1.000000),(1.000000,2.000000),(2.000000,2.000000)");
}

TEST(MapWriterTest, CollapseToAPoint) {
  const MapObject line = makeObject(ObjectKind::Line, {{pt(45, 9), pt(47, 11)}});
  ObjectAttributes a = filled(line);
  a.kind = ObjectKind::Point;
  a.layerMax = 1;
  EXPECT_EQ(dataLines(write(line, a)), (std::vector<std::string>{"Data0=(46.000000,10.000000)",
                                                                 "Data1=(46.000000,10.000000)"}));

  // The mean runs over every point of every line, not over the means of the lines.
  const MapObject polygon =
      makeObject(ObjectKind::Polygon, {{pt(0, 0), pt(0, 3), pt(3, 3)}, {pt(9, 6)}});
  a = filled(polygon);
  a.kind = ObjectKind::Point;
  EXPECT_EQ(dataLines(write(polygon, a)), (std::vector<std::string>{"Data0=(3.000000,3.000000)"}));

  const MapObject empty = makeObject(ObjectKind::Line, {});
  a = filled(empty);
  a.kind = ObjectKind::Point;
  const std::string text = write(empty, a);
  EXPECT_TRUE(dataLines(text).empty());
  EXPECT_EQ(text, "; LOC=m.mp:7\n[POI]\nType=0x0\n[END]\n\n");
}

TEST(MapWriterTest, CommentAttributesSkipEmptyAndRegenerated) {
  const MapObject o = makeObject(ObjectKind::Point, {{pt(1, 2)}});
  ObjectAttributes a = filled(o);
  a.attributes = {{"LOC", "old.mp:1"}, {"RLENGTH", "5"}, {"RWIDTH", "5"}, {"RHEIGHT", "5"},
                  {"RAREA", "5"},      {"rlength", "6"}, {"Empty", ""},   {"Owner", "X Y"}};
  EXPECT_EQ(write(o, a),
            "; LOC=m.mp:7\n; rlength=6\n; Owner=X Y\n[POI]\nType=0x0\n"
            "Data0=(1.000000,2.000000)\n[END]\n\n");
}

TEST(MapWriterTest, MeasuresAboveLinesAndPolygons) {
  MapObject o = makeObject(ObjectKind::Line, {{pt(0, 0), pt(0, 1), pt(1, 1)}});
  o.type = 6;
  ObjectAttributes a = filled(o);
  EXPECT_EQ(write(o, a),
            "; LOC=m.mp:7\n; RLENGTH=222222\n; RWIDTH=111111\n; RHEIGHT=111111\n[POLYLINE]\n"
            "Type=0x6\nData0=(0.000000,0.000000),(0.000000,1.000000),(1.000000,1.000000)\n"
            "[END]\n\n");
  // Read as a line, the ring has no role and its area counts against the object.
  a.kind = ObjectKind::Polygon;
  EXPECT_TRUE(write(o, a).starts_with("; LOC=m.mp:7\n; RAREA=-6172735\n"));
  o.data[0].ringRole = RingRole::Outer;
  EXPECT_TRUE(write(o, a).starts_with(
      "; LOC=m.mp:7\n; RAREA=6172735\n; RWIDTH=111111\n; RHEIGHT=111111\n[POLYGON]\n"));
}

TEST(MapWriterTest, AttributeLinesInOrder) {
  MapObject o = makeObject(ObjectKind::Point, {{pt(1, 2)}});
  o.set(TextField::roadId, "77");
  o.set(TextField::routeParam, "3,0");
  o.nodEntries() = {{"nod1", "0,1,0"}, {"nod2", ""}};
  o.numbersEntries() = {{"numbers1", "0,O,1"}};
  ObjectAttributes a = filled(o);
  a.type = 0x2c0b;
  a.label = "L";
  a.direction = a.city = true;
  a.dontFind = "Y";
  a.countryName = "Co";
  a.regionName = "Re";
  a.districtName = "Di";
  a.cityName = "Ci";
  a.cityIdx = "1";
  a.house = "2";
  a.streetName = "St";
  a.zipIdx = "3";
  a.phone = "4";
  a.fax = "5";
  a.email = "e";
  a.webPage = "w";
  a.text = "t";
  a.background = "Y";
  a.routeParamExt = "x";
  a.routeParams = "p";
  a.zip = "not written";
  a.www = "not written";
  a.nod = "not written outside a restriction";
  EXPECT_EQ(write(o, a),
            "; LOC=m.mp:7\n[POI]\nType=0x2c0b\nLabel=L\nDirIndicator=1\nDontFind=Y\nCity=Y\n"
            "CountryName=Co\nRegionName=Re\nDistrictName=Di\nCityName=Ci\nCityIdx=1\n"
            "HouseNumber=2\nStreetDesc=St\nZipIdx=3\nPhone=4\nFax=5\nEMail=e\nWebPage=w\nText=t\n"
            "RoadID=77\nRouteParam=3,0\nBackground=Y\nRouteParamExt=x\nRouteParams=p\n"
            "Data0=(1.000000,2.000000)\nnod1=0,1,0\nnod2=\nnumbers1=0,O,1\n[END]\n\n");
}

TEST(MapWriterTest, RestrictionAndLists) {
  MapObject r = makeObject(ObjectKind::Restriction, {});
  r.set(TextField::nod, "1001");
  r.set(TextField::traffPoints, "1,2,3");
  ObjectAttributes a = filled(r);
  EXPECT_EQ(write(r, a),
            "; LOC=m.mp:7\n[Restrict]\nNod=1001\nTraffPoints=1,2,3\nTraffRoads=\nTime=\n"
            "[END-Restrict]\n\n");

  const struct {
    ObjectKind kind;
    const char* expected;
  } lists[] = {
      {ObjectKind::Countries, "[Countries]\nk1=v1\nk2=\n[END-Countries]\n\n"},
      {ObjectKind::Regions, "[Regions]\nk1=v1\nk2=\n[END-Regions]\n\n"},
      {ObjectKind::Districts, "[Districts]\nk1=v1\nk2=\n[END-Districts]\n\n"},
      {ObjectKind::Cities, "[Cities]\nk1=v1\nk2=\n[END-Cities]\n\n"},
      {ObjectKind::ZipCodes, "[ZipCodes]\nk1=v1\nk2=\n[END-ZipCodes]\n\n"},
  };
  for (const auto& c : lists) {
    MapObject list = makeObject(c.kind, {});
    list.listRecords() = {{"k1", "v1"}, {"k2", ""}};
    a = filled(list);
    a.attributes.push_back({"Note", "n"});
    EXPECT_EQ(write(list, a), std::string("; LOC=m.mp:7\n; Note=n\n") + c.expected);
  }
  // Another kind's section holds none of this object's records.
  MapObject districts = makeObject(ObjectKind::Districts, {});
  districts.listRecords() = {{"district1", "D"}};
  a = filled(districts);
  a.kind = ObjectKind::Cities;
  EXPECT_EQ(write(districts, a), "; LOC=m.mp:7\n[Cities]\n[END-Cities]\n\n");
}

// Kept keys come out verbatim in the order read, whatever kind the rules make of the object: for
// points, lines and polygons between the attribute lines and the coordinates, elsewhere just
// before the closing line.
TEST(MapWriterTest, KeptKeysStayWithTheirObject) {
  MapObject o = makeObject(ObjectKind::Polygon, {{pt(1, 1), pt(1, 2), pt(2, 2)}});
  o.type = 0x4c;
  o.keptKeys() = {{"Direction", "1"}, {"NonStdField", ""}, {"MiXed", "a ; b"}};
  o.nodEntries() = {{"nod1", "0,1,0"}};
  const std::string kept = "Direction=1\nNonStdField=\nMiXed=a ; b\n";
  const struct {
    ObjectKind kind;
    const char* before;  // the line that the kept keys follow
    const char* after;   // the line that follows them
  } cases[] = {
      {ObjectKind::Point, "Label=L\n", "Data0=(1.333333,1.666667)\n"},
      {ObjectKind::Line, "Label=L\n", "Data0=(1.000000,1.000000),"},
      {ObjectKind::Polygon, "Label=L\n", "Data0=(1.000000,1.000000),"},
      {ObjectKind::Restriction, "Time=\n", "[END-Restrict]\n"},
      {ObjectKind::Cities, "[Cities]\n", "[END-Cities]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    ObjectAttributes a = filled(o);
    a.kind = c.kind;
    a.label = "L";
    const std::string text = write(o, a);
    EXPECT_NE(text.find(c.before + kept + c.after), std::string::npos) << text;
    EXPECT_EQ(text.find(kept), text.rfind(kept)) << "written once";
  }
  ObjectAttributes a = filled(o);
  a.layerMax = 1;
  EXPECT_TRUE(
      write(o, a).ends_with(kept +
                            "Data0=(1.000000,1.000000),(1.000000,2.000000),(2.000000,2.000000)\n"
                            "Data1=(1.000000,1.000000),(1.000000,2.000000),(2.000000,2.000000)\n"
                            "nod1=0,1,0\n[END]\n\n"));
}

// Every level repeats every coordinate line: levels beyond the table would multiply the output
// without bound.
TEST(MapWriterTest, LevelsBeyondTheTableAreClamped) {
  const MapObject o = makeObject(ObjectKind::Line, {{pt(1, 2), pt(3, 4)}, {pt(5, 6), pt(7, 8)}});
  ObjectAttributes a = filled(o);
  a.layerMax = 2147483647;
  const std::string text = write(o, a);
  EXPECT_EQ(dataLines(text).size(), 22u);
  EXPECT_TRUE(text.ends_with("\nData10=(5.000000,6.000000),(7.000000,8.000000)\n[END]\n\n"));
}

// A value larger than the writer's buffer goes to the stream by itself, in its place.
TEST(MapWriterTest, HugeValuesKeepTheirPlace) {
  MapObject o = makeObject(ObjectKind::Point, {{pt(1, 2)}});
  o.type = 0x2f;
  o.keptKeys().push_back(KeyValue{"Kept", std::string(3 << 20, 'k')});
  ObjectAttributes a = filled(o);
  a.label = std::string(2 << 20, 'L');
  a.text = "short";
  const std::string expected = "; LOC=m.mp:7\n[POI]\nType=0x2f\nLabel=" + a.label +
                               "\nText=short\nKept=" + o.keptKeys()[0].value +
                               "\nData0=(1.000000,2.000000)\n[END]\n\n";
  // Compared as a whole without printing megabytes when they differ.
  EXPECT_TRUE(write(o, a) == expected);
}

#ifdef __GLIBC__
// A stream on which every write fails, counting the attempts (the C library's own stream hooks).
FILE* failingStream(int& writes) {
  cookie_io_functions_t io{};
  io.write = [](void* cookie, const char*, size_t) -> ssize_t {
    ++*static_cast<int*>(cookie);
    return -1;
  };
  return fopencookie(&writes, "w", io);
}

TEST(MapWriterTest, FailedWriteEndsTheObject) {
  std::vector<GeoPoint> points;
  for (int i = 0; i < 200000; ++i) points.push_back(pt(i * 1e-4, 1));
  const MapObject o = makeObject(ObjectKind::Line, {points});
  ObjectAttributes a = filled(o);
  a.layerMax = 10;  // some 50 MB of text, in pieces of 1 MB
  int writes = 0;
  maptest::FilePtr out(failingStream(writes));
  ASSERT_NE(out, nullptr);
  MapWriter writer;
  writer.WriteObject(o, out.get(), a);
  EXPECT_TRUE(std::ferror(out.get()));
  // One piece, which stdio may hand over in two; going on would make some forty.
  EXPECT_LE(writes, 2);
}
#endif

std::string testdata(const std::string& name) {
  const char* root = std::getenv("ZARVEX_SOURCE_DIR");
  return (root ? std::string(root) + "/converter/mpformat/" : std::string()) + "testdata/" + name;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

/// Reads a map and writes every object as the pipeline does with an empty rule block.
std::string convert(std::deque<MapObject>& objects) {
  maptest::FilePtr out(std::tmpfile());
  MapWriter writer;
  ObjectAttributes attributes;
  for (const MapObject& object : objects) {
    attributes.reset();
    attributes.fill(object);
    writer.WriteObject(object, out.get(), attributes);
  }
  writer.flush(out.get());
  return maptest::contents(out.get());
}

std::deque<MapObject> readSample(ReadOptions options = {}) {
  maptest::FilePtr file(std::fopen(testdata("sample.mp").c_str(), "rb"));
  EXPECT_NE(file, nullptr);
  MapSource source(std::move(file), "sample.mp", options);
  source.readAll();
  EXPECT_TRUE(source.reader().lenientReport().empty());
  return std::move(source.reader().objects());
}

TEST(MapWriterTest, SampleMapMatchesExpectedOutput) {
  std::deque<MapObject> objects = readSample();
  ASSERT_EQ(objects.size(), 12u);
  const std::string written = convert(objects);
  const std::string expectedPath = testdata("sample_expected.mp");
  if (std::getenv("UPDATE_GOLDEN") != nullptr) {
    std::ofstream(expectedPath, std::ios::binary) << written;
    GTEST_SKIP() << "rewrote " << expectedPath;
  }
  EXPECT_EQ(written, readFile(expectedPath));
}

// Lenient reading departs from strict reading only where the strict reader would stop.
TEST(MapWriterTest, LenientReadingOfAStrictMapChangesNothing) {
  std::deque<MapObject> objects = readSample(maptest::kLenient);
  EXPECT_EQ(convert(objects), readFile(testdata("sample_expected.mp")));
}

/// Writes the objects, reads the text back and compares with what the writer was given.
void expectRoundTrip(std::deque<MapObject>& original, ReadOptions options = {}) {
  const std::string written = convert(original);
  MapSource source(std::string(kHeader) + written, "again.mp", options);
  source.readAll();
  const std::deque<MapObject>& again = source.reader().objects();
  ASSERT_EQ(again.size(), original.size());
  for (size_t i = 0; i < original.size(); ++i) {
    SCOPED_TRACE("object " + std::to_string(i));
    const MapObject& a = original[i];
    const MapObject& b = again[i];
    EXPECT_EQ(b.kind, a.kind);
    EXPECT_EQ(b.label, a.label);
    ASSERT_EQ(b.keptKeys().size(), a.keptKeys().size());
    for (size_t k = 0; k < a.keptKeys().size(); ++k) {
      EXPECT_EQ(b.keptKeys()[k].key, a.keptKeys()[k].key);
      EXPECT_EQ(b.keptKeys()[k].value, a.keptKeys()[k].value);
    }
    EXPECT_EQ(b.listRecords().size(), a.listRecords().size());
    for (size_t k = 0; k < a.listRecords().size() && k < b.listRecords().size(); ++k) {
      EXPECT_EQ(b.listRecords()[k].key, a.listRecords()[k].key);
      EXPECT_EQ(b.listRecords()[k].value, a.listRecords()[k].value);
    }
    // The origin and the measures come back as comment attributes ahead of the kept ones.
    ASSERT_FALSE(b.comments.empty());
    EXPECT_EQ(b.comments[0].key, "LOC");
    EXPECT_EQ(b.comments[0].value, a.locFileName() + ":" + std::to_string(a.locLine));
    std::vector<std::string> keys;
    for (const KeyValue& c : a.comments)
      if (!c.value.empty() && c.key != "LOC" && c.key != "RLENGTH" && c.key != "RWIDTH" &&
          c.key != "RHEIGHT" && c.key != "RAREA")
        keys.push_back(c.key);
    if (a.kind == ObjectKind::Line) keys.insert(keys.end(), {"RLENGTH", "RWIDTH", "RHEIGHT"});
    if (a.kind == ObjectKind::Polygon) keys.insert(keys.end(), {"RAREA", "RWIDTH", "RHEIGHT"});
    std::vector<std::string> againKeys;
    for (size_t k = 1; k < b.comments.size(); ++k) againKeys.push_back(b.comments[k].key);
    EXPECT_EQ(againKeys, keys);
    if (a.kind == ObjectKind::Restriction) {
      for (TextField f :
           {TextField::nod, TextField::traffPoints, TextField::traffRoads, TextField::time})
        EXPECT_EQ(b.get(f), a.get(f));
    }
    if (a.kind != ObjectKind::Point && a.kind != ObjectKind::Line && a.kind != ObjectKind::Polygon)
      continue;
    EXPECT_EQ(b.type, a.type);
    EXPECT_EQ(b.endLevel, 0);
    EXPECT_EQ(b.city == TriState::True, a.city == TriState::True);
    EXPECT_EQ(b.dirIndicator == TriState::True, a.dirIndicator == TriState::True);
    for (TextField f : {TextField::countryName, TextField::regionName, TextField::districtName,
                        TextField::cityName, TextField::streetDesc, TextField::cityIdx,
                        TextField::zipIdx, TextField::houseNumber, TextField::roadId,
                        TextField::routeParam, TextField::phone, TextField::fax, TextField::email,
                        TextField::webPage, TextField::text, TextField::dontFind,
                        TextField::background, TextField::routeParamExt, TextField::routeParams})
      EXPECT_EQ(b.get(f), a.get(f)) << static_cast<int>(f);
    // Each source line comes back once per written level, in level order.
    const int32_t last = a.endLevel >= 1 ? a.endLevel : 0;
    ASSERT_EQ(b.data.size(), a.data.size() * static_cast<size_t>(last + 1));
    size_t k = 0;
    for (int32_t level = 0; level <= last; ++level)
      for (const DataLine& line : a.data) {
        const DataLine& copy = b.data[k++];
        EXPECT_EQ(copy.level, level);
        // Copies of one ring under several levels may judge each other holes, since each lies
        // off the other's single-precision vertices; a single copy keeps its role.
        if (last == 0) {
          EXPECT_EQ(copy.ringRole, line.ringRole);
        }
        ASSERT_EQ(copy.points.size(), line.points.size());
        for (size_t p = 0; p < line.points.size(); ++p) {
          EXPECT_EQ(copy.points[p].lat, line.points[p].lat);
          EXPECT_EQ(copy.points[p].lon, line.points[p].lon);
        }
      }
    ASSERT_EQ(b.nodEntries().size(), a.nodEntries().size());
    for (size_t n = 0; n < a.nodEntries().size(); ++n) {
      EXPECT_EQ(b.nodEntries()[n].key, a.nodEntries()[n].key);
      EXPECT_EQ(b.nodEntries()[n].value, a.nodEntries()[n].value);
    }
    ASSERT_EQ(b.numbersEntries().size(), a.numbersEntries().size());
    for (size_t n = 0; n < a.numbersEntries().size(); ++n)
      EXPECT_EQ(b.numbersEntries()[n].value, a.numbersEntries()[n].value);
  }
}

TEST(MapWriterTest, WrittenMapReadsBackToTheSameObjects) {
  std::deque<MapObject> objects = readSample();
  expectRoundTrip(objects);
}

TEST(MapWriterTest, RealMapReadsBackToTheSameObjects) {
  const char* root = std::getenv("ZARVEX_SOURCE_DIR");
  if (root == nullptr) GTEST_SKIP() << "ZARVEX_SOURCE_DIR not set";
  const std::string path = std::string(root) + "/../shared/realmaps/oaconvert_cloudmade_france.mp";
  const std::string text = readFile(path);
  if (text.empty()) GTEST_SKIP() << "no real maps";
  // The map's header has two keys that only lenient reading passes over.
  MapSource source(text, "france.mp", maptest::kLenient);
  source.readAll();
  EXPECT_EQ(maptest::describe(source.reader().lenientReport()),
            "header-key Transparent 1@6; header-key ProductCode 1@7");
  std::deque<MapObject>& objects = source.reader().objects();
  ASSERT_EQ(objects.size(), 714u);
  size_t longest = 0;
  for (const MapObject& o : objects)
    for (const DataLine& line : o.data) longest = std::max(longest, line.points.size());
  EXPECT_EQ(longest, 6431u);
  expectRoundTrip(objects);
}

// What lenient reading keeps comes back from the written map, and a second conversion writes
// the same text but for the origin lines.
TEST(MapWriterTest, LenientlyReadMapConvertsTheSameTwice) {
  const std::string map = std::string(kHeader) +
                          "[POI]\nType=0x2f\nDirection=1\nNonStdField=x y\nData0=(1,2)\n[END]\n"
                          "[WPT]\nName=w\n[END-WPT]\n"
                          "; Owner=A\n[POLYLINE]\nType=4\n; note\nZ-Order=3\nData0=(1,2),(3,4)\n"
                          "Nod1=0,1,0\n[END-POLYLINE]\n"
                          "[POLYGON]\nType=0x4c\nDirection=2\nData0=(0,0),(0,1),(1,1)\n[END]\n"
                          "[Restrict]\nNod=5\nTraffPoints=1,2,3\nTraffRoads=4,5\nRestrParam=0,1\n"
                          "[END-Restrict]\n";
  MapSource first(map, "first.mp", maptest::kLenient);
  first.readAll();
  std::deque<MapObject>& objects = first.reader().objects();
  ASSERT_EQ(objects.size(), 4u);
  expectRoundTrip(objects, maptest::kLenient);

  const std::string once = convert(objects);
  MapSource second(std::string(kHeader) + once, "second.mp", maptest::kLenient);
  second.readAll();
  // Only kept keys need lenient reading now.
  EXPECT_EQ(maptest::describe(second.reader().lenientReport()),
            "object-key Direction 2@7; object-key NonStdField 1@8; object-key Z-Order 1@19; "
            "object-key RestrParam 1@40");
  auto withoutOrigins = [](const std::string& text) {
    std::string kept;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("; LOC=", 0) != 0) kept += line + "\n";
    return kept;
  };
  EXPECT_EQ(withoutOrigins(convert(second.reader().objects())), withoutOrigins(once));
}

}  // namespace
}  // namespace zarvex
