#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "converter/mpformat/map_object.h"

namespace zarvex {

/// The editable record of the object being processed: the rules read and change it, the writer
/// writes from it. One exists per map-file run.
struct ObjectAttributes {
  bool index = false;
  bool exportObject = true;  // the script's `export`; a C++ keyword, hence the name
  bool city = false;
  bool direction = false;
  int32_t type = -1;
  int32_t layerMin = 0;
  int32_t layerMax = 0;
  std::string label;
  std::string countryName;
  std::string regionName;
  std::string districtName;
  std::string cityName;
  std::string cityIdx;
  std::string zipIdx;
  std::string streetName;
  std::string house;
  std::string phone;
  std::string fax;
  std::string email;
  std::string zip;
  std::string www;
  std::string webPage;
  std::string text;
  std::string dontFind;
  std::string background;
  std::string routeParamExt;
  std::string routeParams;
  ObjectKind kind = ObjectKind::Point;
  int32_t pointType = -1;
  int32_t lineType = -1;
  int32_t polygonType = -1;
  // Neither reset nor filled: a rule's value carries over to the next object of the same map.
  int32_t roadClass = 0;
  int32_t speedLimit = 0;
  std::vector<KeyValue> attributes;
  std::string nod;
  std::string traffPoints;
  std::string traffRoads;
  std::string time;

  /// Prepares the record for the next object (zip, www, roadClass, speedLimit are kept).
  void reset();
  /// Copies the object's values into the record; run after reset() and before the rules.
  void fill(const MapObject& object);
  /// Takes the values that reset() keeps from `previous`, so that a fresh record can follow one
  /// that was handed to the writer.
  void carryOver(const ObjectAttributes& previous);
};

}  // namespace zarvex
