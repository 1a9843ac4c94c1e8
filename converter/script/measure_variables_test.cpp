#include "converter/script/measure_variables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "converter/mpformat/measures.h"
#include "converter/script/script_test_support.h"

namespace zarvex {
namespace {

using scripttest::inFile;
using scripttest::runScript;

// A square outer ring at the equator whose objectArea is close to `squareMetres`.
MapObject squarePolygon(double squareMetres) {
  const double side = std::sqrt(squareMetres) / 111111.11111111111;
  MapObject object;
  object.kind = ObjectKind::Polygon;
  DataLine ring;
  ring.ringRole = RingRole::Outer;
  ring.points = {{0.0, 0.0}, {side, 0.0}, {side, side}, {0.0, side}};
  object.data.push_back(ring);
  return object;
}

MapObject lineAlongEquator(double metres) {
  MapObject object;
  object.kind = ObjectKind::Line;
  DataLine line;
  line.points = {{0.0, 0.0}, {metres / 111111.11111111111, 0.0}};
  object.data.push_back(line);
  return object;
}

int32_t scriptValue(const std::string& measure, const MapObject& object) {
  return runScript(inFile("layer_min = " + measure + ";"), object).layerMin;
}

TEST(MeasureVariablesTest, AreaIsInThousandsOfSquareMetresTruncated) {
  const MapObject justUnder2000 = squarePolygon(1999.9);
  ASSERT_GT(objectArea(justUnder2000), 1999.0);
  ASSERT_LT(objectArea(justUnder2000), 2000.0);
  EXPECT_EQ(scriptValue("area", justUnder2000), 1);

  const MapObject under1000 = squarePolygon(999.0);
  ASSERT_GT(objectArea(under1000), 900.0);
  EXPECT_EQ(scriptValue("area", under1000), 0);
}

TEST(MeasureVariablesTest, LengthWidthHeightAreMetresTruncated) {
  const MapObject line = lineAlongEquator(99.99);
  ASSERT_GT(objectLength(line), 99.9);
  EXPECT_EQ(scriptValue("length", line), 99);
  EXPECT_EQ(scriptValue("width", line), 99);
  EXPECT_EQ(scriptValue("height", line), 0);

  MapObject diagonal;
  DataLine points;
  points.points = {{0.0, 0.0}, {0.002, 0.001}};
  diagonal.data.push_back(points);
  EXPECT_EQ(scriptValue("width", diagonal), 222);
  EXPECT_EQ(scriptValue("height", diagonal), 111);
}

TEST(MeasureVariablesTest, MeasuresAreRecomputedPerObject) {
  const auto entries = scripttest::parseScript(
      inFile("case length > 500 { label = \"long\"; } case area < 0 { text = \"negative\"; }"));
  ASSERT_NE(entries, nullptr);
  ObjectAttributes attributes;
  scripttest::applyEntry(*entries, lineAlongEquator(1000.0), attributes);
  EXPECT_EQ(attributes.label, "long");
  scripttest::applyEntry(*entries, lineAlongEquator(10.0), attributes);
  EXPECT_EQ(attributes.label, "");

  // A line read as a polyline has role None and so subtracts from the area.
  MapObject notRing = squarePolygon(5000.0);
  notRing.data[0].ringRole = RingRole::None;
  scripttest::applyEntry(*entries, notRing, attributes);
  EXPECT_EQ(attributes.text, "negative");
}

TEST(MeasureVariablesTest, MeasuresAreReadOnly) {
  for (const char* name : {"area", "length", "width", "height"}) {
    const auto error = scripttest::scriptError(inFile(std::string(name) + " = 1;"));
    ASSERT_TRUE(error) << name;
    EXPECT_EQ(error->message, std::string("Unknown variable: ") + name);
  }
}

}  // namespace
}  // namespace zarvex
