#include "converter/script/variables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "converter/script/script_test_support.h"

namespace zarvex {
namespace {

using scripttest::inFile;
using scripttest::runScript;

struct StringBinding {
  const char* name;
  std::string ObjectAttributes::*field;
};

const StringBinding kStringBindings[] = {
    {"label", &ObjectAttributes::label},
    {"countryname", &ObjectAttributes::countryName},
    {"regionname", &ObjectAttributes::regionName},
    {"districtname", &ObjectAttributes::districtName},
    {"cityname", &ObjectAttributes::cityName},
    {"cityidx", &ObjectAttributes::cityIdx},
    {"zipidx", &ObjectAttributes::zipIdx},
    {"streetname", &ObjectAttributes::streetName},
    {"house", &ObjectAttributes::house},
    {"phone", &ObjectAttributes::phone},
    {"fax", &ObjectAttributes::fax},
    {"email", &ObjectAttributes::email},
    {"zip", &ObjectAttributes::zip},
    {"www", &ObjectAttributes::www},
    {"webpage", &ObjectAttributes::webPage},
    {"text", &ObjectAttributes::text},
    {"background", &ObjectAttributes::background},
    {"routeparamext", &ObjectAttributes::routeParamExt},
    {"routeparams", &ObjectAttributes::routeParams},
    {"dontfind", &ObjectAttributes::dontFind},
};

TEST(VariablesTest, EachStringNameReadsAndWritesItsOwnField) {
  for (const StringBinding& b : kStringBindings) {
    const std::string name = b.name;
    const auto a = runScript(inFile(name + " = \"v\"; case " + name + " = \"v\" { index = true; }"),
                             MapObject());
    EXPECT_TRUE(a.index) << name;
    for (const StringBinding& other : kStringBindings)
      EXPECT_EQ(a.*other.field, other.field == b.field ? "v" : "") << name << " vs " << other.name;
  }
}

struct IntBinding {
  const char* name;
  int32_t ObjectAttributes::*field;
};

TEST(VariablesTest, EachIntegerNameReadsAndWritesItsOwnField) {
  const IntBinding bindings[] = {
      {"point", &ObjectAttributes::pointType},
      {"line", &ObjectAttributes::lineType},
      {"type", &ObjectAttributes::type},
      {"polygon", &ObjectAttributes::polygonType},
      {"layer_min", &ObjectAttributes::layerMin},
      {"layer_max", &ObjectAttributes::layerMax},
      {"road_class", &ObjectAttributes::roadClass},
      {"speed_limit", &ObjectAttributes::speedLimit},
  };
  for (const IntBinding& b : bindings) {
    const std::string name = b.name;
    const auto a =
        runScript(inFile(name + " = 77; case " + name + " = 77 { index = true; }"), MapObject());
    EXPECT_TRUE(a.index) << name;
    for (const IntBinding& other : bindings)
      if (other.field != b.field) {
        EXPECT_NE(a.*other.field, 77) << name << " vs " << other.name;
      }
    EXPECT_EQ(a.*b.field, 77) << name;
  }
}

TEST(VariablesTest, EachBooleanNameReadsAndWritesItsOwnField) {
  const struct {
    const char* name;
    bool ObjectAttributes::*field;
  } bindings[] = {
      {"export", &ObjectAttributes::exportObject},
      {"index", &ObjectAttributes::index},
      {"city", &ObjectAttributes::city},
      {"direction", &ObjectAttributes::direction},
  };
  const ObjectAttributes start = runScript(inFile(""), MapObject());
  for (const auto& b : bindings) {
    const std::string name = b.name;
    const auto a = runScript(inFile(name + " = !" + name + ";"), MapObject());
    for (const auto& other : bindings)
      EXPECT_EQ(a.*other.field, other.field == b.field ? !(start.*other.field) : start.*other.field)
          << name << " vs " << other.name;
  }
}

}  // namespace
}  // namespace zarvex
