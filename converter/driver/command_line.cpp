#include "converter/driver/command_line.h"

#include <cstring>

#include "converter/driver/map_id.h"

namespace zarvex {

namespace {

const std::string kDefaultHeader = "header.txt";
const std::string kDefaultMapName = "M";
const std::string kDefaultMapId = "11111111";

bool isOption(const char* argument, const char* option) {
  return std::strcmp(argument, option) == 0;
}

}  // namespace

const std::string& DriverSettings::headerPath() const {
  return headerFile.empty() ? kDefaultHeader : headerFile;
}

const std::string& DriverSettings::mapIdOrDefault() const {
  return mapId.empty() ? kDefaultMapId : mapId;
}

const std::string& DriverSettings::mapNameOrDefault() const {
  return mapName.empty() ? kDefaultMapName : mapName;
}

std::optional<DriverSettings> parseCommandLine(int argc, const char* const* argv) {
  DriverSettings settings;
  int i = 1;
  if (argc >= 2 && isOption(argv[1], "-h")) {
    if (argc < 3) return std::nullopt;
    settings.headerFile = argv[2];
    i = 3;
  }
  if (i < argc && isOption(argv[i], "-m")) {
    if (i + 1 >= argc) return std::nullopt;
    settings.mapName = argv[i + 1];
    // The identifier reads bytes up to position 5; a shorter name would be read past its end.
    if (settings.mapName.size() < kMinMapNameLength) return std::nullopt;
    settings.mapId = makeMapId(settings.mapName);
    i += 2;
  }
  if (i >= argc) return std::nullopt;
  settings.configPath = argv[i];
  if (i + 1 < argc && argv[i + 1][0] != '\0') {
    settings.outputName = argv[i + 1];
    settings.outputToStdout = false;
  }
  return settings;
}

void printUsage(FILE* err, const char* programPath) {
  std::fprintf(err, "Version %s\n", "rtq 2007-08-19.1");
  std::fprintf(err, "Usage: %s [-h header_file] <config> [<output>]\n",
               programPath != nullptr ? programPath : "zarvex");
}

}  // namespace zarvex
