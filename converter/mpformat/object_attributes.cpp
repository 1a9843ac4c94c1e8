#include "converter/mpformat/object_attributes.h"

namespace zarvex {

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
  countryName = object.get(TextField::countryName);
  regionName = object.get(TextField::regionName);
  districtName = object.get(TextField::districtName);
  cityName = object.get(TextField::cityName);
  cityIdx = object.get(TextField::cityIdx);
  zipIdx = object.get(TextField::zipIdx);
  streetName = object.get(TextField::streetDesc);
  house = object.get(TextField::houseNumber);
  phone = object.get(TextField::phone);
  fax = object.get(TextField::fax);
  email = object.get(TextField::email);
  webPage = object.get(TextField::webPage);
  text = object.get(TextField::text);
  dontFind = object.get(TextField::dontFind);
  nod = object.get(TextField::nod);
  traffPoints = object.get(TextField::traffPoints);
  traffRoads = object.get(TextField::traffRoads);
  time = object.get(TextField::time);
  background = object.get(TextField::background);
  routeParamExt = object.get(TextField::routeParamExt);
  routeParams = object.get(TextField::routeParams);
  attributes.insert(attributes.end(), object.comments.begin(), object.comments.end());
}

}  // namespace zarvex
