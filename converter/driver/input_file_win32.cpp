#include <windows.h>

#include <cerrno>
#include <cstring>

#include "converter/driver/input_file.h"
#include "converter/tokenizer/errors.h"

namespace zarvex {

std::FILE* openInput(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file != nullptr) return file;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    throw IOException(std::strerror(EISDIR));
  return nullptr;
}

}  // namespace zarvex
