#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace visual {

/// `visualzarvex --render WORK.set --level source|N --out FILE.png [--size WxH] [--types DIR]
/// [--zarvex PATH]`: loads the work file as "Загрузить" does and writes the picture of the open
/// map or of new level N, fitted to the map, as the map view draws it, without a window. Prints
/// the level's object and point counts and returns 0; prints what went wrong and returns 1.
/// Needs a QGuiApplication. `args` are the arguments after "--render".
int runRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace visual
