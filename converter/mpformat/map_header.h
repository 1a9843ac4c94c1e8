#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "converter/mpformat/map_object.h"

namespace zarvex {

/// One zoom level of the header: `level`N gives the bits, `zoom`N the zoom.
struct MapLevel {
  int32_t bits = 0;
  int32_t zoom = 0;
};

/// The `[IMG ID]` section; read and validated, then not consulted.
struct MapHeader {
  std::string id;
  std::string name;
  std::string typeSet;
  int32_t elevation = 0;
  TriState preprocess = TriState::Unset;
  int32_t codePage = 0;
  int32_t lblCoding = 0;
  int32_t treSize = 0;
  float treMargin = 0.0f;
  int32_t rgnLimit = 0;
  TriState poiIndex = TriState::Unset;
  std::string copyright;
  TriState routing = TriState::Unset;
  std::vector<MapLevel> levels;
};

}  // namespace zarvex
