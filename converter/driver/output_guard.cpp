#include "converter/driver/output_guard.h"

#include "converter/driver/file_identity.h"

namespace zarvex {

std::string inputOverwrittenByOutput(const DriverSettings& settings,
                                     const ObjectConfImpl* firstEntry) {
  if (settings.outputToStdout) return {};
  // Only an existing regular file can be truncated into an input; devices such as /dev/null
  // may well be named on both sides.
  const std::optional<FileIdentity> output = fileIdentity(settings.outputName);
  if (!output || !output->regular) return {};
  const auto isOutput = [&output](const std::string& path) {
    const std::optional<FileIdentity> input = fileIdentity(path);
    return input && input->sameFile(*output);
  };
  if (isOutput(settings.configPath)) return settings.configPath;
  if (isOutput(settings.headerPath())) return settings.headerPath();
  for (const ObjectConfImpl* entry = firstEntry; entry != nullptr; entry = entry->next.get())
    if (isOutput(entry->fileName)) return entry->fileName;
  return {};
}

}  // namespace zarvex
