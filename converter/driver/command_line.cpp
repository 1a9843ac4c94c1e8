#include "converter/driver/command_line.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

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

// A whole decimal number from 1 to `limit`, or 0.
std::size_t positiveNumber(const char* text, std::size_t limit) {
  std::size_t value = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return 0;
    value = value * 10 + static_cast<std::size_t>(*p - '0');
    if (value > limit) return 0;
  }
  return value;
}

unsigned defaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : std::min(cores, kMaxJobs);
}

std::size_t chunkBytesFromEnvironment() {
  const char* text = std::getenv("ZARVEX_CHUNK_BYTES");
  if (text == nullptr) return kDefaultChunkBytes;
  const std::size_t value = positiveNumber(text, std::size_t{1} << 30);
  return value == 0 ? kDefaultChunkBytes : value;
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
  settings.jobs = defaultJobs();
  settings.chunkBytes = chunkBytesFromEnvironment();
  int i = 1;
  // Leading options, in any order; the first other argument begins the positional part.
  for (; i < argc; ++i) {
    if (isOption(argv[i], "--lenient")) {
      settings.lenient = true;
    } else if (isOption(argv[i], "--jobs")) {
      if (i + 1 >= argc) return std::nullopt;
      // More threads than that only wait for one another.
      const std::size_t jobs = positiveNumber(argv[++i], 1000000);
      if (jobs == 0) return std::nullopt;
      settings.jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, kMaxJobs));
    } else {
      break;
    }
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
  std::fprintf(
      out,
      "Usage: %s [--lenient] [--jobs N] [-h header_file] [-m map_name] <config> [<output>]\n"
      "       %s --help | --version\n",
      name, name);
  std::fputs(
      "Converts the maps that the rule script <config> names into one multi-level map, written\n"
      "to <output> or, without it, to standard output. Options count only in this order.\n"
      "\n"
      "  --lenient       read maps as today's editors write them: unknown header keys and\n"
      "                  sections are skipped, unknown object keys are kept as written\n"
      "  --jobs N        read and write with N threads (default: one per core); the result\n"
      "                  is the same for every N\n"
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
