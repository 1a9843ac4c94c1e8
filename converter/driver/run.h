#pragma once

#include <cstdio>
#include <string>

#include "converter/driver/command_line.h"
#include "converter/driver/output_file.h"
#include "converter/script/object_conf.h"

namespace zarvex {

/// Writes the header, then processes every entry from `firstEntry` along the list into
/// `output`, pointing `reading` at the file being read. Passes on the ParserException of a
/// malformed map, UnknownObjectType and read errors; stops after a failed write, which closing
/// the output then reports.
void runConversion(const DriverSettings& settings, const ObjectConfImpl* firstEntry,
                   OutputFile& output, const std::string*& reading);

/// The whole program: command line, script, output, conversion. Returns the exit code.
int runZarvex(int argc, const char* const* argv);

}  // namespace zarvex
