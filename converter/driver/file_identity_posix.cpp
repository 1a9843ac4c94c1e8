#include <sys/stat.h>

#include "converter/driver/file_identity.h"

namespace zarvex {

std::optional<FileIdentity> fileIdentity(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino), S_ISREG(status.st_mode)};
}

}  // namespace zarvex
