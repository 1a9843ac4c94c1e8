#include "converter/script/type_switch.h"

#include <gtest/gtest.h>

#include <string>

#include "converter/script/script_test_support.h"

namespace zarvex {
namespace {

using scripttest::applyEntry;
using scripttest::inFile;
using scripttest::parseScript;

// `case type = <t> { <body> }` for t = first, first + 1, ... last.
std::string casesOf(int first, int last, const std::string& body) {
  std::string text;
  for (int t = first; t <= last; ++t)
    text += "case type = " + std::to_string(t) + " { label += \"" + std::to_string(t) + "\"; " +
            body + " }\n";
  return text;
}

bool hasSwitch(const Block& block) {
  for (const Executable* s = block.first.get(); s; s = s->next.get()) {
    if (dynamic_cast<const TypeSwitch*>(s) != nullptr) return true;
    if (const auto* inner = dynamic_cast<const Block*>(s); inner && hasSwitch(*inner)) return true;
  }
  return false;
}

// Every object must come out of the gathered block as it comes out of the block as written.
TEST(TypeSwitchTest, RunsWhatTheCasesInTurnWouldRun) {
  struct Case {
    const char* name;
    std::string statements;
    bool gathered;  // whether a switch takes the place of a run
  };
  const Case cases[] = {
      {"plain run", casesOf(1, 10, "layer_max = 3;"), true},
      {"nested run", "case kind = point {\n" + casesOf(1, 10, "") + "}", true},
      {"statements around the run",
       "label = \"<\";\n" + casesOf(1, 10, "") + "case type = 3 { label += \"again\"; }", true},
      // A case that moves the object to a later type must let that case run too.
      {"a body assigns the type",
       casesOf(1, 4, "") + "case type = 5 { type = 7; }\n" + casesOf(6, 14, ""), true},
      {"type assigned deep inside",
       casesOf(1, 4, "") + "case type = 5 { case label != \"\" { type += 2; } }\n" +
           casesOf(6, 14, ""),
       true},
      {"a constant repeated", casesOf(1, 5, "") + casesOf(3, 12, ""), true},
      {"too short a run", casesOf(1, 7, ""), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto written = parseScript(inFile(c.statements));
    const auto gathered = parseScript(inFile(c.statements));
    ASSERT_TRUE(written && gathered);
    gatherTypeSwitches(gathered->block);
    EXPECT_EQ(hasSwitch(gathered->block), c.gathered);
    for (int type = -1; type <= 14; ++type) {
      SCOPED_TRACE(type);
      MapObject object;
      object.kind = ObjectKind::Point;
      object.type = type;
      object.label = "L";
      ObjectAttributes expected, actual;
      applyEntry(*written, object, expected);
      applyEntry(*gathered, object, actual);
      EXPECT_EQ(actual.type, expected.type);
      EXPECT_EQ(actual.label, expected.label);
      EXPECT_EQ(actual.layerMax, expected.layerMax);
    }
  }
}

}  // namespace
}  // namespace zarvex
