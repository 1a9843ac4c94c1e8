#include "converter/driver/run.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "converter/driver/console.h"
#include "converter/driver/header_writer.h"
#include "converter/driver/input_file.h"
#include "converter/driver/output_file.h"
#include "converter/driver/output_guard.h"
#include "converter/driver/pipeline.h"
#include "converter/script/config_parser.h"
#include "converter/script/type_switch.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitReadError = 2;

// The writer hands over one object per fwrite; a large buffer turns that into few system calls.
constexpr std::size_t kStdoutBufferSize = std::size_t{1} << 20;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// Static storage, never freed: stdio may still flush stdout after main has returned.
char stdoutBuffer[kStdoutBufferSize];

// A file that could not be read (a folder, a failing device) ends the run.
int reportReadError(const std::exception& e) {
  std::fprintf(stderr, "Read error: %s\n", e.what());
  return kExitReadError;
}

// Says which file was being read when memory ran out; none before the first.
int reportOutOfMemory(const std::string* reading) {
  if (reading != nullptr)
    std::fprintf(stderr, "Out of memory: %s\n", reading->c_str());
  else
    std::fprintf(stderr, "Out of memory\n");
  std::fflush(stdout);
  return kExitFailure;
}

// Parses the whole script into the entry list; returns an exit code other than kExitOk on error.
int parseScript(const DriverSettings& settings, std::unique_ptr<ObjectConfImpl>& firstEntry) {
  std::unique_ptr<FILE, FileCloser> script(openInput(settings.configPath));
  if (!script) {
    if (errno != ENOENT) return reportReadError(IOException(std::strerror(errno)));
    std::fprintf(stderr, "File not found: %s\n", settings.configPath.c_str());
    return kExitFailure;
  }
  Tokenizer tokenizer(script.get());
  tokenizer.setScriptProfile();
  ConfigParserImpl parser(tokenizer, firstEntry);
  try {
    while (parser.parseFileStatement()) {
    }
  } catch (const ParserException& e) {
    tokenizer.dumpToken(stdout);
    script.reset();
    std::fprintf(stderr, "%s\n", e.what());
    return kExitFailure;
  }
  for (ObjectConfImpl* entry = firstEntry.get(); entry; entry = entry->next.get())
    gatherTypeSwitches(entry->block);
  return kExitOk;
}

// Runs the conversion into an open output and reports how it ended.
int convert(const DriverSettings& settings, const ObjectConfImpl* firstEntry, OutputFile& output,
            const std::string*& reading) {
  try {
    runConversion(settings, firstEntry, output, reading);
    return kExitOk;
  } catch (const ParserException& e) {
    std::fprintf(stderr, "%d: %s\n", e.line, e.what());
    // The output holds only what came before the failing file; that is no finished run.
    return kExitFailure;
  } catch (const UnknownObjectType& e) {
    std::fprintf(stdout, "Unknown object type: '%d'\n", static_cast<int>(e.kind));
    return kExitFailure;
  } catch (const IOException& e) {
    return reportReadError(e);
  } catch (const TokenizerException& e) {
    return reportReadError(e);
  }
}

// Everything after the command line: script, output, conversion. Returns the exit code.
int runScriptAndConversion(const DriverSettings& settings,
                           std::unique_ptr<ObjectConfImpl>& firstEntry,
                           const std::string*& reading) {
  reading = &settings.configPath;
  int code = kExitOk;
  try {
    code = parseScript(settings, firstEntry);
  } catch (const IOException& e) {
    code = reportReadError(e);
  } catch (const TokenizerException& e) {
    code = reportReadError(e);
  }
  reading = nullptr;
  if (code != kExitOk) {
    std::fflush(stdout);
    return code;
  }

  // The output replaces a file only at the end, yet an input given again as the output is
  // surely a slip of the user's.
  const std::string overwritten = inputOverwrittenByOutput(settings, firstEntry.get());
  if (!overwritten.empty()) {
    std::fprintf(stderr, "Output is also an input: %s\n", overwritten.c_str());
    std::fflush(stdout);
    return kExitFailure;
  }

  // Opened only now, so that a faulty script never creates or touches the output.
  const std::unique_ptr<OutputFile> output = settings.outputToStdout
                                                 ? OutputFile::standardOutput()
                                                 : OutputFile::open(settings.outputName);
  if (!output) {
    std::fprintf(stderr, "Error opening file: %s\n", settings.outputName.c_str());
    std::fflush(stdout);
    return kExitFailure;
  }

  code = convert(settings, firstEntry.get(), *output, reading);
  reading = nullptr;

  // After an error in a map the output still takes what came before it, as a finished run does.
  if (!output->commit()) {
    std::fprintf(stderr, "Error writing file: %s\n", settings.outputName.c_str());
    if (code == kExitOk) code = kExitFailure;
  }
  if (!settings.outputToStdout) std::fflush(stdout);
  return code;
}

// The command line, then the run; memory that runs out is reported with the file being read.
int runCommandLine(int argc, const char* const* argv) {
  const std::optional<DriverSettings> parsed = parseCommandLine(argc, argv);
  if (!parsed) {
    printUsage(stderr, argc > 0 ? argv[0] : nullptr);
    std::fflush(stdout);
    return kExitFailure;
  }
  const DriverSettings& settings = *parsed;
  if (settings.command == Command::Help) {
    printHelp(stdout, argc > 0 ? argv[0] : nullptr);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
  }
  if (settings.command == Command::Version) {
    printVersion(stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
  }

  // Both outlive the attempt, so that the file named on running out of memory still exists.
  std::unique_ptr<ObjectConfImpl> firstEntry;
  const std::string* reading = nullptr;
  try {
    return runScriptAndConversion(settings, firstEntry, reading);
  } catch (const std::bad_alloc&) {
    return reportOutOfMemory(reading);
  }
}

}  // namespace

void runConversion(const DriverSettings& settings, const ObjectConfImpl* firstEntry,
                   OutputFile& output, const std::string*& reading) {
  reading = &settings.headerPath();
  writeHeader(settings, output.stream(), stderr);
  const ConversionOptions options{
      .lenient = settings.lenient, .jobs = settings.jobs, .chunkBytes = settings.chunkBytes};
  for (const ObjectConfImpl* entry = firstEntry; entry != nullptr; entry = entry->next.get()) {
    reading = &entry->fileName;
    std::fprintf(stderr, "Processing: %s\n", entry->fileName.c_str());
    FILE* input = openInput(entry->fileName);
    if (input == nullptr) {
      // Only a map that is not there is skipped; one that is there but cannot be read (no
      // permission, a loop of links) would silently go missing from the result.
      if (errno != ENOENT) throw IOException(std::strerror(errno));
      std::fprintf(stderr, "File not found: %s\n", entry->fileName.c_str());
      continue;
    }
    processMapFile(*entry, input, output, options);
    if (output.failed()) return;
  }
}

int runZarvex(int argc, const char* const* argv) {
  // Before any file is opened, which would otherwise take the place of a closed one.
  if (!openClosedStandardStreams()) return kExitFailure;
  // Before anything is written to it: the map, the token dumps and the messages that go to
  // standard output then share one buffer and keep their order. A terminal keeps its line
  // buffering, so that a person watching sees messages as they come.
  if (!isTerminal(stdout)) std::setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer);
  try {
    return runCommandLine(argc, argv);
  } catch (const std::bad_alloc&) {
    return reportOutOfMemory(nullptr);
  }
}

}  // namespace zarvex
