#include "converter/script/attribute_variables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "converter/script/script_test_support.h"

namespace zarvex {
namespace {

using scripttest::inFile;
using scripttest::runScript;

MapObject withComments(std::vector<KeyValue> comments) {
  MapObject object;
  object.comments = std::move(comments);
  return object;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs pairs(const std::vector<KeyValue>& list) {
  Pairs result;
  for (const KeyValue& entry : list) result.emplace_back(entry.key, entry.value);
  return result;
}

/// Runs `script` on `object` and returns the attributes with what it printed to stderr.
std::pair<ObjectAttributes, std::string> runCapturingStderr(const std::string& script,
                                                            const MapObject& object) {
  ::testing::internal::CaptureStderr();
  ObjectAttributes attributes = runScript(script, object);
  return {attributes, ::testing::internal::GetCapturedStderr()};
}

TEST(AttributeVariablesTest, StringAttrReadsFirstMatchCaseSensitively) {
  const MapObject object = withComments({{"k", "1"}, {"K", "upper"}, {"k", "2"}});
  const auto [a, err] = runCapturingStderr(
      inFile("label = attr \"k\"; text = attr \"K\"; phone = attr \"missing\";"), object);
  EXPECT_EQ(a.label, "1");
  EXPECT_EQ(a.text, "upper");
  EXPECT_EQ(a.phone, "");
  EXPECT_EQ(err, "");
}

TEST(AttributeVariablesTest, StringAttrSetReplacesFirstMatchOrAppends) {
  const MapObject object = withComments({{"k", "1"}, {"x", "y"}, {"k", "2"}});
  const auto a =
      runScript(inFile("ATTR \"k\" = \"v\"; Attr \"new\" = \"z\"; attr \"new\" += \"!\";"), object);
  const Pairs expected = {{"k", "v"}, {"x", "y"}, {"k", "2"}, {"new", "z!"}};
  EXPECT_EQ(pairs(a.attributes), expected);
}

// Appending in place must hold when the operand lies in the list that grows, or is the value
// itself; values past the short-string size, so that a stale view would show.
TEST(AttributeVariablesTest, StringAttrAppendsFromItselfAndFromTheList) {
  const std::string a(40, 'a'), b(50, 'b');
  const MapObject object = withComments({{"a", a}, {"b", b}});
  const auto result = runScript(inFile("attr \"a\" += attr \"a\"; attr \"new\" += attr \"b\";"
                                       "attr \"c\" += attr \"a\"; label += attr \"new\";"),
                                object);
  const Pairs expected = {{"a", a + a}, {"b", b}, {"new", b}, {"c", a + a}};
  EXPECT_EQ(pairs(result.attributes), expected);
  EXPECT_EQ(result.label, b);
}

TEST(AttributeVariablesTest, KeysDifferingInCaseAreDistinct) {
  const auto a = runScript(inFile("attr \"K\" = \"set\"; label = attr \"k\";"), MapObject());
  EXPECT_EQ(a.label, "");
  EXPECT_EQ(pairs(a.attributes), (Pairs{{"K", "set"}}));
}

struct IntAttrCase {
  const char* value;
  int32_t expected;
};

TEST(AttributeVariablesTest, IntAttrReadsLeadingDecimalNumber) {
  const IntAttrCase cases[] = {
      {"0x1F", 0},
      {"12abc", 12},
      {" 42", 42},
      {"\t 42 ", 42},
      {"-7", -7},
      {"+5", 5},
      {"", 0},
      {"abc", 0},
      {"- 3", 0},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX},
      {"99999999999999999999", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-2147483649", INT32_MIN},
      {"-99999999999999999999", INT32_MIN},
  };
  for (const IntAttrCase& c : cases) {
    const auto [a, err] =
        runCapturingStderr(inFile("layer_min = intattr \"n\";"), withComments({{"n", c.value}}));
    EXPECT_EQ(a.layerMin, c.expected) << '"' << c.value << '"';
    EXPECT_EQ(err, "") << c.value;
  }
}

TEST(AttributeVariablesTest, IntAttrSetWritesDecimalText) {
  const auto a = runScript(inFile("intattr \"n\" = -42; intattr \"m\" = 0x10; intattr \"big\" = "
                                  "-2147483647; intattr \"big\" += -1;"),
                           withComments({{"m", "old"}}));
  const Pairs expected = {{"m", "16"}, {"n", "-42"}, {"big", "-2147483648"}};
  EXPECT_EQ(pairs(a.attributes), expected);
}

TEST(AttributeVariablesTest, MissingIntAttrPrintsOncePerEvaluation) {
  const auto [a, err] = runCapturingStderr(inFile("intattr \"n\" += 1;"), MapObject());
  EXPECT_EQ(err, "Unknown attribute: n\n");
  EXPECT_EQ(pairs(a.attributes), (Pairs{{"n", "1"}}));
}

TEST(AttributeVariablesTest, MessagesFollowEvaluationOrder) {
  // Comparisons evaluate left before right; += evaluates the operand before the variable.
  const auto [a, err] = runCapturingStderr(
      inFile("case intattr \"a\" < intattr \"b\" { } intattr \"x\" += intattr \"y\";\n"
             "case intattr \"c\" = 0 { label = \"zero\"; }"),
      MapObject());
  EXPECT_EQ(err,
            "Unknown attribute: a\nUnknown attribute: b\nUnknown attribute: y\n"
            "Unknown attribute: x\nUnknown attribute: c\n");
  EXPECT_EQ(a.label, "zero");
  EXPECT_EQ(pairs(a.attributes), (Pairs{{"x", "0"}}));
}

TEST(AttributeVariablesTest, CommentAttributesDoNotCarryOver) {
  const auto entries = scripttest::parseScript(inFile("attr \"seen\" = \"1\";"));
  ASSERT_NE(entries, nullptr);
  ObjectAttributes attributes;
  const MapObject object = withComments({{"own", "v"}});
  scripttest::applyEntry(*entries, object, attributes);
  scripttest::applyEntry(*entries, object, attributes);
  EXPECT_EQ(pairs(attributes.attributes), (Pairs{{"own", "v"}, {"seen", "1"}}));
}

}  // namespace
}  // namespace zarvex
