#include "converter/script/statements.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "converter/script/constants.h"
#include "converter/script/field_variables.h"
#include "converter/script/script_test_support.h"

namespace zarvex {
namespace {

using scripttest::applyEntry;
using scripttest::inFile;
using scripttest::parseScript;
using scripttest::runScript;

TEST(StatementsTest, EmptyBlockLeavesResetAndFill) {
  MapObject object;
  object.type = 0x2f;
  object.endLevel = 2;
  object.label = "Main";
  const auto a = runScript(inFile(""), object);
  EXPECT_TRUE(a.exportObject);
  EXPECT_EQ(a.type, 0x2f);
  EXPECT_EQ(a.layerMax, 2);
  EXPECT_EQ(a.label, "Main");
}

TEST(StatementsTest, LaterStatementsSeeEarlierChanges) {
  MapObject object;
  object.type = 0x2f;
  const auto a = runScript(
      inFile("case type = 0x2f { type = 0x30; } case type = 0x30 { label = \"moved\"; }"), object);
  EXPECT_EQ(a.type, 0x30);
  EXPECT_EQ(a.label, "moved");
}

TEST(StatementsTest, StatementOrderDecidesExport) {
  MapObject match;
  match.type = 0x2f;
  MapObject other;
  other.type = 0x30;
  const std::string keep = inFile("export = false; case type = 0x2f { export = true; }");
  const std::string none = inFile("case type = 0x2f { export = true; } export = false;");
  EXPECT_TRUE(runScript(keep, match).exportObject);
  EXPECT_FALSE(runScript(keep, other).exportObject);
  EXPECT_FALSE(runScript(none, match).exportObject);
}

TEST(StatementsTest, NegationAndConstants) {
  MapObject object;
  const auto a = runScript(inFile("case true { label = \"t\"; } case !true { label = \"f\"; } "
                                  "case !!export { text = \"x\"; } index = !!!false;"),
                           object);
  EXPECT_EQ(a.label, "t");
  EXPECT_EQ(a.text, "x");
  EXPECT_TRUE(a.index);
}

TEST(StatementsTest, NestedCaseNeedsEveryCondition) {
  const std::string script =
      inFile("case kind = polygon { case type = 1 { export = false; } label = \"poly\"; }");
  MapObject object;
  object.kind = ObjectKind::Polygon;
  object.type = 1;
  auto a = runScript(script, object);
  EXPECT_FALSE(a.exportObject);
  EXPECT_EQ(a.label, "poly");
  object.type = 2;
  EXPECT_TRUE(runScript(script, object).exportObject);
  object.kind = ObjectKind::Line;
  object.type = 1;
  a = runScript(script, object);
  EXPECT_TRUE(a.exportObject);
  EXPECT_EQ(a.label, "");
}

struct WrapCase {
  int32_t start;
  const char* addend;
  int32_t result;
};

TEST(StatementsTest, IntegerAdditionWrapsIn32Bits) {
  const WrapCase cases[] = {
      {2147483647, "1", INT32_MIN},   {INT32_MIN, "-1", 2147483647}, {0, "-1", -1},
      {-5, "0x7fffffff", 2147483642}, {7, "layer_max", 14},
  };
  for (const WrapCase& c : cases) {
    MapObject object;
    object.endLevel = c.start;
    EXPECT_EQ(runScript(inFile(std::string("layer_max += ") + c.addend + ";"), object).layerMax,
              c.result)
        << c.start << " + " << c.addend;
  }
}

TEST(StatementsTest, StringAppend) {
  MapObject object;
  object.label = "ab";
  EXPECT_EQ(runScript(inFile("label += label;"), object).label, "abab");
  EXPECT_EQ(runScript(inFile("label += \"c\"; label += text;"), object).label, "abc");
  EXPECT_EQ(runScript(inFile("label = \"x\" ;"), object).label, "x");
}

TEST(StatementsTest, StringComparisonIsByteExact) {
  MapObject object;
  object.label = "ABC";
  EXPECT_EQ(runScript(inFile("case label = \"abc\" { text = \"hit\"; }"), object).text, "");
  object.label = " ";
  EXPECT_EQ(runScript(inFile("case label != \"\" { text = \"hit\"; }"), object).text, "hit");
  object.label = std::string("a\0b", 3);
  EXPECT_EQ(runScript(inFile("case label = \"a\" { text = \"hit\"; }"), object).text, "");
}

TEST(StatementsTest, NotResetFieldsCarryOverWithinOneRun) {
  const auto entries = parseScript(
      inFile("case type = 1 { zip = \"a\"; www = \"w\"; road_class = 3; speed_limit = 4; label = "
             "\"first\"; }\n"
             "case zip = \"a\" { text = www; layer_min = road_class; layer_max = speed_limit; }"));
  ASSERT_NE(entries, nullptr);
  MapObject first;
  first.type = 1;
  MapObject second;
  second.type = 2;
  ObjectAttributes attributes;
  applyEntry(*entries, first, attributes);
  applyEntry(*entries, second, attributes);
  EXPECT_EQ(attributes.zip, "a");
  EXPECT_EQ(attributes.text, "w");
  EXPECT_EQ(attributes.layerMin, 3);
  EXPECT_EQ(attributes.layerMax, 4);
  EXPECT_EQ(attributes.label, "");

  ObjectAttributes nextRun;
  applyEntry(*entries, second, nextRun);
  EXPECT_EQ(nextRun.zip, "");
  EXPECT_EQ(nextRun.text, "");
}

TEST(StatementsTest, BlockAppendKeepsOrderAndLast) {
  Block block;
  EXPECT_EQ(block.last, nullptr);
  for (int32_t i = 1; i <= 3; ++i) {
    block.append(std::make_unique<IntPlusAssign>(std::make_unique<LayerMaxVar>(),
                                                 std::make_unique<IntConst>(i)));
  }
  block.append(std::make_unique<IntAssign>(std::make_unique<LayerMinVar>(),
                                           std::make_unique<LayerMaxVar>()));
  EXPECT_EQ(block.last->next, nullptr);
  MapObject object;
  ObjectAttributes attributes;
  attributes.layerMax = 10;
  block.execute(object, attributes);
  EXPECT_EQ(attributes.layerMax, 16);
  EXPECT_EQ(attributes.layerMin, 16);
}

TEST(StatementsTest, LongListsAreExecutedAndDestroyedWithoutDeepRecursion) {
  // Recursive destruction of this list would need far more stack than a thread has.
  constexpr int32_t kCount = 1000000;
  auto block = std::make_unique<Block>();
  for (int32_t i = 0; i < kCount; ++i)
    block->append(std::make_unique<IntPlusAssign>(std::make_unique<TypeVar>(),
                                                  std::make_unique<IntConst>(1)));
  MapObject object;
  ObjectAttributes attributes;
  attributes.type = 0;
  block->execute(object, attributes);
  EXPECT_EQ(attributes.type, kCount);
  block.reset();

  auto entries = std::make_unique<ObjectConfImpl>("first");
  for (int32_t i = 0; i < kCount; ++i) {
    auto entry = std::make_unique<ObjectConfImpl>("m");
    entry->next = std::move(entries);
    entries = std::move(entry);
  }
  entries.reset();
}

TEST(StatementsTest, ParsedScriptOf100000Statements) {
  std::string statements;
  for (int32_t i = 0; i < 100000; ++i) statements += "layer_max += 1;\n";
  MapObject object;
  EXPECT_EQ(runScript(inFile(statements), object).layerMax, 100000);
}

}  // namespace
}  // namespace zarvex
