#pragma once

#include <string>

namespace visual {

/// The converter: the one beside the running program, else the one this build tree made (when
/// run from it), else the installed one, else the one on PATH; when none is there, the path
/// beside the program.
std::string defaultConverterPath();
/// The sample type files: the installed share folder, or the sources when run from the build tree.
std::string defaultTypesFolder();

}  // namespace visual
