#pragma once

#include <string>

#include "gui/model/catalogue.h"

namespace visual {

/// True when `folder` holds at least one file matching "type*.dat".
bool hasTypeFiles(const std::string& folder);

/// Empties `catalogue` and reads the type file of `typeSet` from `folder`, following ".extends"
/// lines; names and codes are lower-cased with code page `codePage`. False (with `error`) when no
/// file matches or a file cannot be read.
bool loadCatalogue(const std::string& folder, const std::string& typeSet, int codePage,
                   Catalogue& catalogue, std::string* error);

}  // namespace visual
