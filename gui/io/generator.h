#pragma once

#include <functional>
#include <string>

#include "gui/model/map_info.h"
#include "gui/model/rule_table.h"

namespace visual {

/// Copies the header of the map `document.FileName` to `headerPath` with the new levels in place
/// of the map's own level and zoom lines. False (with `error`) on a read or write failure.
bool writeHeaderFile(const MapInfo& document, const std::string& headerPath, std::string* error);

/// The rule script for `rules` in table order; `progress` gets each row's position (from 0).
std::string scriptText(const MapInfo& document, const RuleTable& rules,
                       const std::function<void(int)>& progress);

/// The batch file: the converter (with --lenient first when `lenient`) with -h and the header
/// file, the script and the output map, then "pause".
std::string batchText(const std::string& converter, const std::string& header,
                      const std::string& script, const std::string& output, bool lenient = false);

/// `text` with a backslash before every backslash and double quote, as the script's quoted
/// strings read it.
std::string escapedForScript(const std::string& text);

}  // namespace visual
