#include "converter/driver/command_line.h"

#include <cstring>

#include "converter/driver/map_id.h"
#include "project_version.h"

namespace zarvex {

namespace {

const std::string kDefaultHeader = "header.txt";
const std::string kDefaultMapName = "M";
const std::string kDefaultMapId = "11111111";

bool isOption(const char* argument, const char* option) {
  return std::strcmp(argument, option) == 0;
}

const char* programName(const char* programPath) {
  return programPath != nullptr ? programPath : "zarvex";
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
  if (argc >= 2 && isOption(argv[1], "--help")) {
    settings.command = Command::Help;
    return settings;
  }
  if (argc >= 2 && isOption(argv[1], "--version")) {
    settings.command = Command::Version;
    return settings;
  }
  int i = 1;
  // Leading options, in any order; the first other argument begins the positional part.
  for (; i < argc; ++i) {
    if (isOption(argv[i], "--lenient"))
      settings.lenient = true;
    else
      break;
  }
  if (i < argc && isOption(argv[i], "-h")) {
    if (i + 1 >= argc) return std::nullopt;
    settings.headerFile = argv[i + 1];
    i += 2;
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
  std::fprintf(err, "Usage: %s [-h header_file] <config> [<output>]\n", programName(programPath));
}

void printHelp(FILE* out, const char* programPath) {
  const char* name = programName(programPath);
  std::fprintf(out,
               "Usage: %s [--lenient] [-h header_file] [-m map_name] <config> [<output>]\n"
               "       %s --help | --version\n",
               name, name);
  std::fputs(
      "Converts the maps that the rule script <config> names into one multi-level map, written\n"
      "to <output> or, without it, to standard output. Options count only in this order.\n"
      "\n"
      "  --lenient       read maps as today's editors write them: unknown header keys and\n"
      "                  sections are skipped, unknown object keys are kept as written\n"
      "  -h header_file  the header template copied to the head of the output\n"
      "                  (default header.txt)\n"
      "  -m map_name     what replaces '$' in the template; '%' becomes the map\n"
      "                  identifier made from it (at least six bytes, such as K-12-3)\n"
      "  --help          print this help and exit\n"
      "  --version       print the version and exit\n"
      "\n"
      "Exit status: 0 the conversion finished (missing maps are reported and skipped);\n"
      "1 a usage error, a missing or faulty script, a faulty map, an output that cannot be\n"
      "opened or written, or an object left without a type; 2 a file could not be read.\n",
      out);
}

void printVersion(FILE* out) {
  std::fprintf(out, "zarvex %s\n", kProjectVersion);
}

}  // namespace zarvex
