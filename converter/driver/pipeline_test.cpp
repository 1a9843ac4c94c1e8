#include "converter/driver/pipeline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "converter/script/config_parser.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {
namespace {

// The entry of a one-statement script `file "m.mp" { <rules> }`.
std::unique_ptr<ObjectConfImpl> entryWithRules(const std::string& rules) {
  const std::string text = "file \"m.mp\" { " + rules + " }";
  FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  std::unique_ptr<ObjectConfImpl> first;
  {
    Tokenizer tokenizer(file);
    tokenizer.setScriptProfile();
    ConfigParserImpl parser(tokenizer, first);
    while (parser.parseFileStatement()) {
    }
  }
  std::fclose(file);
  return first;
}

MapObject objectOf(ObjectKind kind, int32_t type) {
  MapObject object;
  object.kind = kind;
  object.type = type;
  object.endLevel = 2;
  object.label = "Name";
  return object;
}

struct TypeCase {
  const char* rules;
  ObjectKind kind;
  int32_t mapType;
  bool written;
  int32_t type;  // as handed to the writer
};

TEST(ApplyRulesTest, DecidesExportAndType) {
  const TypeCase cases[] = {
      {"", ObjectKind::Point, 0x2f, true, 0x2f},
      {"export = false;", ObjectKind::Point, 0x2f, false, 0x2f},
      {"type = -1; point = 0x30;", ObjectKind::Point, 0x2f, true, 0x30},
      {"type = -1; point = 0x30; line = 0x31; polygon = 0x32;", ObjectKind::Line, 1, true, 0x31},
      {"type = -1; point = 0x30; line = 0x31; polygon = 0x32;", ObjectKind::Polygon, 1, true, 0x32},
      // The per-kind value is used as it is, -1 included.
      {"type = -1;", ObjectKind::Point, 0x2f, true, -1},
      // A map that gives the type -1 itself takes the per-kind value too.
      {"line = 0x16;", ObjectKind::Line, -1, true, 0x16},
      // The kind as the rules left it picks the per-kind value.
      {"type = -1; kind = point; point = 0x2f; line = 0x16;", ObjectKind::Line, 1, true, 0x2f},
      // A dropped object needs no type, whatever its kind.
      {"type = -1; export = false;", ObjectKind::Restriction, 0, false, -1},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.rules);
    const auto entry = entryWithRules(c.rules);
    ObjectAttributes attributes;
    EXPECT_EQ(applyRules(*entry, objectOf(c.kind, c.mapType), attributes), c.written);
    if (c.written) {
      EXPECT_EQ(attributes.type, c.type);
    }
  }
}

TEST(ApplyRulesTest, ListsAndRestrictionsWithoutTypeStopTheRun) {
  const auto entry = entryWithRules("type = -1;");
  for (ObjectKind kind : {ObjectKind::Restriction, ObjectKind::Countries, ObjectKind::Regions,
                          ObjectKind::Districts, ObjectKind::Cities, ObjectKind::ZipCodes}) {
    ObjectAttributes attributes;
    try {
      applyRules(*entry, objectOf(kind, 0), attributes);
      ADD_FAILURE() << "kind " << static_cast<int>(kind) << " passed";
    } catch (const UnknownObjectType& e) {
      EXPECT_EQ(e.kind, kind);
    }
  }
}

TEST(ApplyRulesTest, ResetsPerObjectButKeepsCarriedValues) {
  const auto entry = entryWithRules(
      "case label = \"Name\" { label = \"x\"; zip = \"171250\"; road_class = 4; layer_min = 3; "
      "city = true; attr \"k\" = \"v\"; }");
  ObjectAttributes attributes;
  ASSERT_TRUE(applyRules(*entry, objectOf(ObjectKind::Line, 1), attributes));
  EXPECT_EQ(attributes.label, "x");
  EXPECT_EQ(attributes.layerMin, 3);
  EXPECT_EQ(attributes.attributes.size(), 1u);

  MapObject next = objectOf(ObjectKind::Point, 0x2f);
  next.label = "Other";
  ASSERT_TRUE(applyRules(*entry, next, attributes));
  EXPECT_EQ(attributes.label, "Other");
  EXPECT_EQ(attributes.layerMin, 0);
  EXPECT_EQ(attributes.layerMax, 2);
  EXPECT_FALSE(attributes.city);
  EXPECT_TRUE(attributes.attributes.empty());
  EXPECT_EQ(attributes.kind, ObjectKind::Point);
  EXPECT_EQ(attributes.zip, "171250");
  EXPECT_EQ(attributes.roadClass, 4);
}

}  // namespace
}  // namespace zarvex
