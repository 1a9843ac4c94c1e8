#pragma once

#include <string>
#include <vector>

#include "gui/model/map_info.h"
#include "gui/model/rule_table.h"

namespace visual {

/// What a conversion for the view is made from: the document and its rules as the window holds
/// them at this moment, whether the map needs lenient reading, and the converter.
struct PreviewInputs {
  MapInfo document;
  RuleTable rules;
  bool lenient = false;
  std::string converter;
  /// The document's code page, for the labels.
  int codePage = 1251;
};

/// A conversion of the document prepared in a folder of its own.
struct LevelRun {
  /// The converter's argument vector, the converter first (as the batch line has it).
  std::vector<std::string> command;
  /// The converted map it writes.
  std::string output;
};

/// Writes the header template and the rule script into `folder` as generation writes them, and
/// returns the converter call that converts the document there. False with `error` when a file
/// cannot be written or no map is open.
bool prepareLevelRun(const PreviewInputs& inputs, const std::string& folder, LevelRun& run,
                     std::string* error);

}  // namespace visual
