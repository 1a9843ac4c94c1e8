#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/expression.h"

namespace zarvex {

/// A boolean variable bound to one field of the attributes.
template <bool ObjectAttributes::*Field>
class BoolFieldVar final : public BoolLVar {
 public:
  bool get(const MapObject&, const ObjectAttributes& attributes) const override {
    return attributes.*Field;
  }
  void set(ObjectAttributes& attributes, bool value) const override { attributes.*Field = value; }
};

/// An integer variable bound to one field of the attributes; values are stored unchecked.
template <int32_t ObjectAttributes::*Field>
class IntFieldVar final : public IntLVar {
 public:
  int32_t get(const MapObject&, const ObjectAttributes& attributes) const override {
    return attributes.*Field;
  }
  void set(ObjectAttributes& attributes, int32_t value) const override {
    attributes.*Field = value;
  }
};

/// A string variable bound to one field of the attributes.
template <std::string ObjectAttributes::*Field>
class StringFieldVar final : public StringLVar {
 public:
  std::string get(const MapObject&, const ObjectAttributes& attributes) const override {
    return attributes.*Field;
  }
  std::string_view view(const MapObject&, const ObjectAttributes& attributes,
                        std::string&) const override {
    return attributes.*Field;
  }
  void set(ObjectAttributes& attributes, std::string value) const override {
    attributes.*Field = std::move(value);
  }
  // Grows the string by its own doubling: repeated appends cost their own length, not the
  // field's length each time.
  void append(const MapObject&, ObjectAttributes& attributes,
              std::string_view tail) const override {
    (attributes.*Field).append(tail);
  }
};

using ExportVar = BoolFieldVar<&ObjectAttributes::exportObject>;
using IndexVar = BoolFieldVar<&ObjectAttributes::index>;
using CityVar = BoolFieldVar<&ObjectAttributes::city>;
using DirectionVar = BoolFieldVar<&ObjectAttributes::direction>;

using PointVar = IntFieldVar<&ObjectAttributes::pointType>;
using LineVar = IntFieldVar<&ObjectAttributes::lineType>;
using TypeVar = IntFieldVar<&ObjectAttributes::type>;
using PolygonVar = IntFieldVar<&ObjectAttributes::polygonType>;
using LayerMinVar = IntFieldVar<&ObjectAttributes::layerMin>;
using LayerMaxVar = IntFieldVar<&ObjectAttributes::layerMax>;
using RoadClassVar = IntFieldVar<&ObjectAttributes::roadClass>;
using SpeedLimitVar = IntFieldVar<&ObjectAttributes::speedLimit>;

using LabelLVar = StringFieldVar<&ObjectAttributes::label>;
using CountryNameLVar = StringFieldVar<&ObjectAttributes::countryName>;
using RegionNameLVar = StringFieldVar<&ObjectAttributes::regionName>;
using DistrictNameLVar = StringFieldVar<&ObjectAttributes::districtName>;
using CityNameLVar = StringFieldVar<&ObjectAttributes::cityName>;
using CityIdxLVar = StringFieldVar<&ObjectAttributes::cityIdx>;
using ZipIdxLVar = StringFieldVar<&ObjectAttributes::zipIdx>;
using StreetNameLVar = StringFieldVar<&ObjectAttributes::streetName>;
using HouseLVar = StringFieldVar<&ObjectAttributes::house>;
using PhoneLVar = StringFieldVar<&ObjectAttributes::phone>;
using FaxLVar = StringFieldVar<&ObjectAttributes::fax>;
using EMailLVar = StringFieldVar<&ObjectAttributes::email>;
using ZipLVar = StringFieldVar<&ObjectAttributes::zip>;
using WWWLVar = StringFieldVar<&ObjectAttributes::www>;
using WebPageLVar = StringFieldVar<&ObjectAttributes::webPage>;
using TextLVar = StringFieldVar<&ObjectAttributes::text>;
using BackgroundLVar = StringFieldVar<&ObjectAttributes::background>;
using RouteParamExtLVar = StringFieldVar<&ObjectAttributes::routeParamExt>;
using RouteParamsLVar = StringFieldVar<&ObjectAttributes::routeParams>;
using DontFindLVar = StringFieldVar<&ObjectAttributes::dontFind>;

/// The variable `kind`.
class KindVar final : public KindLVar {
 public:
  ObjectKind get(const MapObject&, const ObjectAttributes& attributes) const override {
    return attributes.kind;
  }
  void set(ObjectAttributes& attributes, ObjectKind value) const override {
    attributes.kind = value;
  }
};

}  // namespace zarvex
