#include "converter/driver/map_id.h"

namespace zarvex {

std::string makeMapId(std::string_view mapName) {
  // The first byte is taken as a signed char so that bytes from 0x80 up give the same digits
  // as they always have; division and remainder truncate toward zero, as C++ guarantees.
  const int offset = static_cast<signed char>(mapName[0]) - 'A';
  std::string id = "111";
  id += static_cast<char>('0' + offset / 10);
  id += static_cast<char>('0' + offset % 10);
  id += mapName[2];
  id += mapName[3];
  id += mapName[5];
  return id;
}

}  // namespace zarvex
