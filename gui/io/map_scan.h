#pragma once

#include <functional>
#include <string>

#include "gui/model/catalogue.h"
#include "gui/model/map_info.h"
#include "gui/model/rule_table.h"

namespace visual {

/// The progress bar as the scan moves it: it starts at `pos` and may go up to `max`;
/// `changed` is called with each new position.
struct ScanProgress {
  int pos = 0;
  int max = 1;
  std::function<void(int)> changed;
};

/// Reads the map at `path` into `document` (header fields and map levels; FileName := path) and
/// counts its objects into `rules`, adding rows named from `catalogue` for new types.
/// False (with `error`) when the file cannot be opened or read.
bool scanMap(const std::string& path, MapInfo& document, RuleTable& rules,
             const Catalogue& catalogue, ScanProgress progress, std::string* error);

/// A type code padded after "0x" with zeros to 4 characters, or to 6 for points (kind 2).
std::string padTypeCode(std::string code, int kind);

}  // namespace visual
