#include "gui/model/names.h"

#include <array>
#include <string_view>

namespace visual {

namespace {

template <std::size_t N>
std::string pick(const std::array<std::string_view, N>& names, int index) {
  if (index < 0 || index >= static_cast<int>(N)) return {};
  return std::string(names[static_cast<std::size_t>(index)]);
}

constexpr std::array<std::string_view, kKindCount> kTreeNames = {"Polyline", "Polygone", "Points"};
constexpr std::array<std::string_view, kKindCount> kListNames = {"Полилиния", "Полигон", "Точка"};
constexpr std::array<std::string_view, kKindCount> kScriptKinds = {"line", "polygon", "point"};
constexpr std::array<std::string_view, kMeasureCount> kMeasureNames = {"Площадь", "Длинна",
                                                                       "Высота", "Ширина"};
constexpr std::array<std::string_view, kMeasureCount> kScriptMeasures = {"area", "length", "height",
                                                                         "width"};
constexpr std::array<std::string_view, kComparisonCount> kComparisons = {"<", "<=", "=", ">=", ">"};

}  // namespace

std::string kindTreeName(int kind) {
  return pick(kTreeNames, kind);
}
std::string kindListName(int kind) {
  return pick(kListNames, kind);
}
std::string kindScriptName(int kind) {
  return pick(kScriptKinds, kind);
}
std::string measureListName(int measure) {
  return pick(kMeasureNames, measure);
}
std::string measureScriptName(int measure) {
  return pick(kScriptMeasures, measure);
}
std::string comparisonText(int comparison) {
  return pick(kComparisons, comparison);
}

std::vector<std::string> comparisonItems() {
  return {kComparisons.begin(), kComparisons.end()};
}

}  // namespace visual
