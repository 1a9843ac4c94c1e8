#pragma once

#include <string>
#include <vector>

namespace visual {

/// Smallest and largest bits that have a zoom label.
inline constexpr int kFirstLabelledBits = 10;
inline constexpr int kLastLabelledBits = 26;

/// The zoom label of `bits` (UTF-8), empty when the bits have none.
std::string zoomLabel(int bits);
/// The 17 entries of the level picker: bits, " : " and label, for bits 10 to 26.
std::vector<std::string> levelPickerItems();
/// Position of `bits` in the level picker, -1 when it has no entry.
int levelPickerPosition(int bits);

}  // namespace visual
