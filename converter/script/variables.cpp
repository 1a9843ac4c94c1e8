#include "converter/script/variables.h"

#include <cstdint>

#include "converter/script/attribute_variables.h"
#include "converter/script/constants.h"
#include "converter/script/field_variables.h"
#include "converter/script/measure_variables.h"
#include "converter/tokenizer/errors.h"

namespace zarvex {
namespace {

std::string readAttrName(Tokenizer& tokenizer) {
  if (tokenizer.nextToken() != Tokenizer::TokenString)
    throw ParserException("Attr name expected", tokenizer.lineCount);
  return tokenizer.text;
}

}  // namespace

std::unique_ptr<BoolLVar> makeBoolLVar(const std::string& name) {
  if (name == "export") return std::make_unique<ExportVar>();
  if (name == "index") return std::make_unique<IndexVar>();
  if (name == "city") return std::make_unique<CityVar>();
  if (name == "direction") return std::make_unique<DirectionVar>();
  return nullptr;
}

std::unique_ptr<IntLVar> makeIntLVar(const std::string& name, Tokenizer& tokenizer) {
  if (name == "point") return std::make_unique<PointVar>();
  if (name == "line") return std::make_unique<LineVar>();
  if (name == "type") return std::make_unique<TypeVar>();
  if (name == "polygon") return std::make_unique<PolygonVar>();
  if (name == "layer_min") return std::make_unique<LayerMinVar>();
  if (name == "layer_max") return std::make_unique<LayerMaxVar>();
  if (name == "road_class") return std::make_unique<RoadClassVar>();
  if (name == "speed_limit") return std::make_unique<SpeedLimitVar>();
  if (name == "intattr") return std::make_unique<IntAttrVar>(readAttrName(tokenizer));
  return nullptr;
}

std::unique_ptr<IntRVar> makeMeasureExpr(const std::string& name) {
  if (name == "area") return std::make_unique<AreaExpr>();
  if (name == "length") return std::make_unique<LengthExpr>();
  if (name == "width") return std::make_unique<WidthExpr>();
  if (name == "height") return std::make_unique<HeightExpr>();
  return nullptr;
}

std::unique_ptr<StringLVar> makeStringVar(const std::string& name, Tokenizer& tokenizer) {
  if (name == "label") return std::make_unique<LabelLVar>();
  if (name == "countryname") return std::make_unique<CountryNameLVar>();
  if (name == "regionname") return std::make_unique<RegionNameLVar>();
  if (name == "districtname") return std::make_unique<DistrictNameLVar>();
  if (name == "cityname") return std::make_unique<CityNameLVar>();
  if (name == "cityidx") return std::make_unique<CityIdxLVar>();
  if (name == "zipidx") return std::make_unique<ZipIdxLVar>();
  if (name == "streetname") return std::make_unique<StreetNameLVar>();
  if (name == "house") return std::make_unique<HouseLVar>();
  if (name == "phone") return std::make_unique<PhoneLVar>();
  if (name == "fax") return std::make_unique<FaxLVar>();
  if (name == "email") return std::make_unique<EMailLVar>();
  if (name == "zip") return std::make_unique<ZipLVar>();
  if (name == "www") return std::make_unique<WWWLVar>();
  if (name == "webpage") return std::make_unique<WebPageLVar>();
  if (name == "text") return std::make_unique<TextLVar>();
  if (name == "background") return std::make_unique<BackgroundLVar>();
  if (name == "routeparamext") return std::make_unique<RouteParamExtLVar>();
  if (name == "routeparams") return std::make_unique<RouteParamsLVar>();
  if (name == "dontfind") return std::make_unique<DontFindLVar>();
  if (name == "attr") return std::make_unique<StringAttrVar>(readAttrName(tokenizer));
  return nullptr;
}

std::unique_ptr<KindLVar> makeKindLVar(const std::string& name) {
  if (name == "kind") return std::make_unique<KindVar>();
  return nullptr;
}

std::unique_ptr<BoolExpr> makeBoolConst(const std::string& name) {
  if (name == "true") return std::make_unique<BoolConst>(true);
  if (name == "false") return std::make_unique<BoolConst>(false);
  return nullptr;
}

}  // namespace zarvex
