#include "converter/driver/input_file.h"

namespace zarvex {

std::FILE* openInput(const std::string& path) { return std::fopen(path.c_str(), "r"); }

}  // namespace zarvex
