#pragma once

#include <string>
#include <vector>

namespace visual {

/// Number of object kinds: 0 polyline, 1 polygon, 2 point.
inline constexpr int kKindCount = 3;
/// Number of measures: 0 area, 1 length, 2 height, 3 width.
inline constexpr int kMeasureCount = 4;
/// Number of comparisons: 0 "<", 1 "<=", 2 "=", 3 ">=", 4 ">".
inline constexpr int kComparisonCount = 5;

/// Root text of a kind in the tree ("Polyline", "Polygone", "Points"); empty for other values.
std::string kindTreeName(int kind);
/// Name of a kind in the type-change lists (UTF-8); empty for other values.
std::string kindListName(int kind);
/// Name of a kind in the script ("line", "polygon", "point"); empty for other values.
std::string kindScriptName(int kind);
/// Name of a measure in the measure lists (UTF-8); empty for other values.
std::string measureListName(int measure);
/// Name of a measure in the script ("area", "length", "height", "width"); empty for others.
std::string measureScriptName(int measure);
/// Comparison text of `cbCond<n>` ("<", "<=", "=", ">=", ">"); empty for other values.
std::string comparisonText(int comparison);
/// The items of the comparison lists, in list order.
std::vector<std::string> comparisonItems();

}  // namespace visual
