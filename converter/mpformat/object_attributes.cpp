#include "converter/mpformat/object_attributes.h"

#include <string>
#include <utility>

namespace zarvex {

namespace {

using Member = std::string ObjectAttributes::*;

constexpr std::pair<TextField, Member> kSparseTexts[] = {
    {TextField::countryName, &ObjectAttributes::countryName},
    {TextField::regionName, &ObjectAttributes::regionName},
    {TextField::districtName, &ObjectAttributes::districtName},
    {TextField::cityName, &ObjectAttributes::cityName},
    {TextField::cityIdx, &ObjectAttributes::cityIdx},
    {TextField::zipIdx, &ObjectAttributes::zipIdx},
    {TextField::streetDesc, &ObjectAttributes::streetName},
    {TextField::houseNumber, &ObjectAttributes::house},
    {TextField::phone, &ObjectAttributes::phone},
    {TextField::fax, &ObjectAttributes::fax},
    {TextField::email, &ObjectAttributes::email},
    {TextField::webPage, &ObjectAttributes::webPage},
    {TextField::text, &ObjectAttributes::text},
    {TextField::dontFind, &ObjectAttributes::dontFind},
    {TextField::nod, &ObjectAttributes::nod},
    {TextField::traffPoints, &ObjectAttributes::traffPoints},
    {TextField::traffRoads, &ObjectAttributes::traffRoads},
    {TextField::time, &ObjectAttributes::time},
    {TextField::background, &ObjectAttributes::background},
    {TextField::routeParamExt, &ObjectAttributes::routeParamExt},
    {TextField::routeParams, &ObjectAttributes::routeParams},
};

}  // namespace

void ObjectAttributes::reset() {
  type = -1;
  pointType = -1;
  lineType = -1;
  polygonType = -1;
  exportObject = true;
  city = false;
  direction = false;
  index = false;
  label.clear();
  countryName.clear();
  regionName.clear();
  districtName.clear();
  cityName.clear();
  cityIdx.clear();
  zipIdx.clear();
  streetName.clear();
  house.clear();
  layerMin = 0;
  attributes.clear();
  nod.clear();
  traffPoints.clear();
  traffRoads.clear();
  time.clear();
}

void ObjectAttributes::carryOver(const ObjectAttributes& previous) {
  zip = previous.zip;
  www = previous.www;
  roadClass = previous.roadClass;
  speedLimit = previous.speedLimit;
}

void ObjectAttributes::fill(const MapObject& object) {
  city = object.city == TriState::True;
  direction = object.dirIndicator == TriState::True;
  type = object.type;
  layerMin = 0;
  layerMax = object.endLevel;
  label = object.label;
  kind = object.kind;
  // Most objects give none of the sparse keys: clearing costs less than assigning.
  if (object.hasSparseTexts()) {
    for (const auto& [field, member] : kSparseTexts) this->*member = object.get(field);
  } else {
    for (const auto& [field, member] : kSparseTexts) (this->*member).clear();
  }
  attributes.insert(attributes.end(), object.comments.begin(), object.comments.end());
}

}  // namespace zarvex
