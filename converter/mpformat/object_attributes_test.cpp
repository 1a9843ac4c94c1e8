#include "converter/mpformat/object_attributes.h"

#include <gtest/gtest.h>

namespace zarvex {
namespace {

ObjectAttributes dirtyAttributes() {
  ObjectAttributes a;
  a.index = true;
  a.exportObject = false;
  a.city = a.direction = true;
  a.type = a.pointType = a.lineType = a.polygonType = 7;
  a.layerMin = 3;
  a.layerMax = 5;
  for (std::string* s :
       {&a.label,   &a.countryName, &a.regionName, &a.districtName,  &a.cityName,
        &a.cityIdx, &a.zipIdx,      &a.streetName, &a.house,         &a.phone,
        &a.fax,     &a.email,       &a.zip,        &a.www,           &a.webPage,
        &a.text,    &a.dontFind,    &a.background, &a.routeParamExt, &a.routeParams,
        &a.nod,     &a.traffPoints, &a.traffRoads, &a.time})
    *s = "x";
  a.kind = ObjectKind::Cities;
  a.roadClass = 4;
  a.speedLimit = 6;
  a.attributes.push_back({"k", "v"});
  return a;
}

TEST(ObjectAttributesTest, ResetClearsOnlyWhatTheNextObjectRefills) {
  ObjectAttributes a = dirtyAttributes();
  a.reset();
  EXPECT_EQ(a.type, -1);
  EXPECT_EQ(a.pointType, -1);
  EXPECT_EQ(a.lineType, -1);
  EXPECT_EQ(a.polygonType, -1);
  EXPECT_TRUE(a.exportObject);
  EXPECT_FALSE(a.city || a.direction || a.index);
  for (const std::string* s :
       {&a.label, &a.countryName, &a.regionName, &a.districtName, &a.cityName, &a.cityIdx,
        &a.zipIdx, &a.streetName, &a.house, &a.nod, &a.traffPoints, &a.traffRoads, &a.time})
    EXPECT_TRUE(s->empty());
  EXPECT_EQ(a.layerMin, 0);
  EXPECT_TRUE(a.attributes.empty());
  // A rule's zip, www, road class and speed limit carry over to the next object.
  EXPECT_EQ(a.zip, "x");
  EXPECT_EQ(a.www, "x");
  EXPECT_EQ(a.roadClass, 4);
  EXPECT_EQ(a.speedLimit, 6);
  // These are refilled from every object, so the reset leaves them.
  EXPECT_EQ(a.layerMax, 5);
  EXPECT_EQ(a.phone, "x");
  EXPECT_EQ(a.kind, ObjectKind::Cities);
}

TEST(ObjectAttributesTest, FillCopiesTheObject) {
  MapObject o;
  o.kind = ObjectKind::Polygon;
  o.type = 0x4a;
  o.endLevel = 2;
  o.label = "Lake";
  o.city = TriState::True;
  o.dirIndicator = TriState::False;
  const std::pair<TextField, const char*> texts[] = {{TextField::countryName, "Country"},
                                                     {TextField::regionName, "Region"},
                                                     {TextField::districtName, "District"},
                                                     {TextField::cityName, "City"},
                                                     {TextField::cityIdx, "3"},
                                                     {TextField::zipIdx, "4"},
                                                     {TextField::streetDesc, "Street"},
                                                     {TextField::houseNumber, "12a"},
                                                     {TextField::phone, "555"},
                                                     {TextField::fax, "556"},
                                                     {TextField::email, "a@b"},
                                                     {TextField::webPage, "w"},
                                                     {TextField::text, "t"},
                                                     {TextField::dontFind, "Y"},
                                                     {TextField::nod, "1,2"},
                                                     {TextField::traffPoints, "p"},
                                                     {TextField::traffRoads, "r"},
                                                     {TextField::time, "tm"},
                                                     {TextField::background, "b"},
                                                     {TextField::routeParamExt, "e"},
                                                     {TextField::routeParams, "rp"},
                                                     {TextField::roadId, "77"}};
  for (const auto& [field, value] : texts) o.set(field, value);
  o.comments = {{"Owner", "X"}, {"RLENGTH", "12"}};

  ObjectAttributes a = dirtyAttributes();
  a.reset();
  a.fill(o);
  EXPECT_TRUE(a.city);
  EXPECT_FALSE(a.direction);
  EXPECT_EQ(a.type, 0x4a);
  EXPECT_EQ(a.layerMin, 0);
  EXPECT_EQ(a.layerMax, 2);
  EXPECT_EQ(a.label, "Lake");
  EXPECT_EQ(a.kind, ObjectKind::Polygon);
  EXPECT_EQ(a.countryName, "Country");
  EXPECT_EQ(a.regionName, "Region");
  EXPECT_EQ(a.districtName, "District");
  EXPECT_EQ(a.cityName, "City");
  EXPECT_EQ(a.cityIdx, "3");
  EXPECT_EQ(a.zipIdx, "4");
  EXPECT_EQ(a.streetName, "Street");
  EXPECT_EQ(a.house, "12a");
  EXPECT_EQ(a.phone, "555");
  EXPECT_EQ(a.fax, "556");
  EXPECT_EQ(a.email, "a@b");
  EXPECT_EQ(a.webPage, "w");
  EXPECT_EQ(a.text, "t");
  EXPECT_EQ(a.dontFind, "Y");
  EXPECT_EQ(a.nod, "1,2");
  EXPECT_EQ(a.traffPoints, "p");
  EXPECT_EQ(a.traffRoads, "r");
  EXPECT_EQ(a.time, "tm");
  EXPECT_EQ(a.background, "b");
  EXPECT_EQ(a.routeParamExt, "e");
  EXPECT_EQ(a.routeParams, "rp");
  ASSERT_EQ(a.attributes.size(), 2u);
  EXPECT_EQ(a.attributes[0].key, "Owner");
  EXPECT_EQ(a.attributes[1].value, "12");
  EXPECT_EQ(a.zip, "x");
}

TEST(ObjectAttributesTest, FillOfABareObject) {
  MapObject o;
  o.dirIndicator = TriState::Unset;
  ObjectAttributes a = dirtyAttributes();
  a.reset();
  a.fill(o);
  EXPECT_EQ(a.layerMax, 0);
  EXPECT_FALSE(a.direction);
  EXPECT_EQ(a.type, 0);
  EXPECT_TRUE(a.phone.empty());
  EXPECT_TRUE(a.label.empty());
  EXPECT_TRUE(a.attributes.empty());
}

}  // namespace
}  // namespace zarvex
