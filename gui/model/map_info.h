#pragma once

#include <array>
#include <string>

namespace visual {

/// Size of every level table: indexes 0 to 10, nothing is ever stored beyond.
inline constexpr int kLevelSlots = 11;

/// The document: the open map's header, its levels and the levels of the map to be produced.
/// Texts are bytes in the document code page.
struct MapInfo {
  std::string ID;
  std::string Name;
  std::string TypeSet;
  std::string CopyRight;
  int Levels = 0;
  std::array<int, kLevelSlots> Level{};
  std::array<int, kLevelSlots> Zoom{};
  int NewLevels = 0;
  std::array<int, kLevelSlots> NewLevel{};
  std::array<int, kLevelSlots> NewZoom{};
  /// Full path of the map file; empty when no map is open.
  std::string FileName;
};

}  // namespace visual
