#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace zarvex {

/// The most threads `--jobs` gives.
constexpr unsigned kMaxJobs = 64;
/// About how many bytes of a map one thread reads at a time: small enough that the objects of a
/// piece of small objects stay a few megabytes, large enough that handing pieces over costs
/// little.
constexpr std::size_t kDefaultChunkBytes = std::size_t{256} << 10;

/// What the command line asks for.
enum class Command : uint8_t { Convert, Help, Version };

/// The driver's settings, read once from the command line. An empty string counts as not set.
struct DriverSettings {
  Command command = Command::Convert;
  /// Maps are read leniently (`--lenient`).
  bool lenient = false;
  /// Threads that read and write maps (`--jobs`); by default one per core.
  unsigned jobs = 1;
  /// About how many bytes of a map a thread reads at a time; ZARVEX_CHUNK_BYTES sets it, so that
  /// tests can cut small maps into many pieces.
  std::size_t chunkBytes = kDefaultChunkBytes;
  std::string headerFile;
  std::string mapName;
  std::string mapId;
  /// The output path, or "stdout" when the map goes to standard output.
  std::string outputName = "stdout";
  bool outputToStdout = true;
  std::string configPath;

  /// The header template actually opened: `headerFile`, or "header.txt" when not set.
  const std::string& headerPath() const;
  /// What a '%' of the template becomes.
  const std::string& mapIdOrDefault() const;
  /// What a '$' of the template becomes.
  const std::string& mapNameOrDefault() const;
};

/// Reads `--help`, `--version`, or `[--lenient] [--jobs N] [-h header_file] [-m argument]
/// <config> [<output>]`, the two leading options in either order, the others only at these
/// positions. Returns none for a usage error.
std::optional<DriverSettings> parseCommandLine(int argc, const char* const* argv);

/// Prints the two usage lines to `err`, naming the program as it was invoked.
void printUsage(FILE* err, const char* programPath);

/// Prints the usage, each option and the exit codes to `out`.
void printHelp(FILE* out, const char* programPath);

/// Prints the program's name and version to `out`.
void printVersion(FILE* out);

}  // namespace zarvex
