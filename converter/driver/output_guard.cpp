#include "converter/driver/output_guard.h"

#include <sys/stat.h>

namespace zarvex {

std::string inputOverwrittenByOutput(const DriverSettings& settings,
                                     const ObjectConfImpl* firstEntry) {
  if (settings.outputToStdout) return {};
  struct stat output {};
  // Only an existing regular file can be truncated into an input; devices such as /dev/null
  // may well be named on both sides.
  if (stat(settings.outputName.c_str(), &output) != 0 || !S_ISREG(output.st_mode)) return {};
  const auto isOutput = [&output](const std::string& path) {
    struct stat input {};
    return stat(path.c_str(), &input) == 0 && input.st_dev == output.st_dev &&
           input.st_ino == output.st_ino;
  };
  if (isOutput(settings.configPath)) return settings.configPath;
  if (isOutput(settings.headerPath())) return settings.headerPath();
  for (const ObjectConfImpl* entry = firstEntry; entry != nullptr; entry = entry->next.get())
    if (isOutput(entry->fileName)) return entry->fileName;
  return {};
}

}  // namespace zarvex
