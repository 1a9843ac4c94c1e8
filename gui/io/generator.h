#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/model/map_info.h"
#include "gui/model/rule_table.h"

namespace visual {

class ReplacingFile;

/// Writes into `header` the header of the map `document.FileName` with the new levels in place
/// of the map's own level and zoom lines. False (with `error`, naming the map) on a read failure.
bool writeHeader(const MapInfo& document, ReplacingFile& header, std::string* error);

/// The rule script for `rules` in table order; `progress` gets each row's position (from 0).
std::string scriptText(const MapInfo& document, const RuleTable& rules,
                       const std::function<void(int)>& progress);

/// One word of the converter's command line: a path (quoted in the batch line) or an option.
struct CommandWord {
  std::string text;
  bool isPath = true;
};

/// What the user is told when no converter is set or found.
#ifdef _WIN32
inline constexpr const char* kNoConverter = "Укажите путь к файлу zarvex.exe!!";
#else
inline constexpr const char* kNoConverter = "Укажите путь к файлу zarvex!!";
#endif

/// The converter's command: the converter (with --lenient first when `lenient`), -h and the
/// header file, the script and the output map. Both the batch line and the direct run are made
/// from it.
std::vector<CommandWord> converterCommand(const std::string& converter, const std::string& header,
                                          const std::string& script, const std::string& output,
                                          bool lenient = false);

/// The words of `command` as an argument vector.
std::vector<std::string> argumentVector(const std::vector<CommandWord>& command);

/// The batch file: `command` with its paths in double quotes, then "pause".
std::string batchText(const std::vector<CommandWord>& command);

/// `text` with a backslash before every backslash and double quote, as the script's quoted
/// strings read it.
std::string escapedForScript(const std::string& text);

}  // namespace visual
