#pragma once

#include <string>

namespace visual {

/// The converter installed beside the running program.
std::string defaultConverterPath();
/// The sample type files: the installed share folder, or the sources when run from the build tree.
std::string defaultTypesFolder();

}  // namespace visual
