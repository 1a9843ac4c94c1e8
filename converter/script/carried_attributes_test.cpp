#include "converter/script/carried_attributes.h"

#include <gtest/gtest.h>

#include <string>

#include "converter/script/script_test_support.h"
#include "converter/script/type_switch.h"

namespace zarvex {
namespace {

using scripttest::inFile;
using scripttest::parseScript;

// A script wrongly taken to leave the carried attributes alone would be ruled piece by piece from
// fresh records, and lose the values that carry over.
TEST(CarriedAttributesTest, AssignmentsAnywhereToTheCarriedOnesAreFound) {
  struct Case {
    const char* statements;
    bool carries;
  };
  const Case cases[] = {
      {"", false},
      {"label = \"x\"; type = 5; export = false; kind = line; layer_max += 2;", false},
      {"attr \"zip\" = \"1\"; zipidx = \"2\"; city = true;", false},
      {"case type = 1 { case kind = line { label += \"a\"; } }", false},
      {"zip = \"101000\";", true},
      {"www += \"/x\";", true},
      {"road_class = 3;", true},
      {"speed_limit += 1;", true},
      {"case type = 1 { case kind = line { case length > 5 { speed_limit = 2; } } }", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statements);
    EXPECT_EQ(c.carries, mayCarryOver(parseScript(inFile(c.statements))->block));
  }
}

// The driver gathers long runs of type cases into a switch before it asks.
TEST(CarriedAttributesTest, CasesGatheredIntoATypeSwitchAreLookedInto) {
  std::string statements;
  for (int type = 1; type <= 12; ++type)
    statements += "case type = " + std::to_string(type) + " { layer_max = 1; }\n";
  for (const char* last : {"layer_min = 2;", "road_class = 2;"}) {
    SCOPED_TRACE(last);
    auto entry = parseScript(inFile(statements + "case type = 13 { " + last + " }"));
    gatherTypeSwitches(entry->block);
    EXPECT_EQ(std::string(last) == "road_class = 2;", mayCarryOver(entry->block));
  }
}

}  // namespace
}  // namespace zarvex
