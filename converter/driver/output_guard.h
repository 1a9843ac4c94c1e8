#pragma once

#include <string>

#include "converter/driver/command_line.h"
#include "converter/script/object_conf.h"

namespace zarvex {

/// The input that the output file would overwrite (the script, the header template or a map of
/// the entry list, compared as files, not as names), or an empty string when there is none.
std::string inputOverwrittenByOutput(const DriverSettings& settings,
                                     const ObjectConfImpl* firstEntry);

}  // namespace zarvex
