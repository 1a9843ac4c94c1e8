#include "converter/driver/run.h"

#include <memory>

#include "converter/driver/header_writer.h"
#include "converter/driver/input_file.h"
#include "converter/driver/output_guard.h"
#include "converter/driver/pipeline.h"
#include "converter/driver/terminal.h"
#include "converter/script/config_parser.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitReadError = 2;

// The writer hands over one object per fwrite; a large buffer turns that into few system calls.
constexpr std::size_t kOutputBufferSize = std::size_t{1} << 20;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// Static storage, never freed: stdio may still flush stdout after main has returned.
char stdoutBuffer[kOutputBufferSize];

// A file that could not be read (a folder, a failing device) ends the run.
int reportReadError(const std::exception& e) {
  std::fprintf(stderr, "Read error: %s\n", e.what());
  return kExitReadError;
}

// Parses the whole script into the entry list; returns an exit code other than kExitOk on error.
int parseScript(const DriverSettings& settings, std::unique_ptr<ObjectConfImpl>& firstEntry) {
  std::unique_ptr<FILE, FileCloser> script(openInput(settings.configPath));
  if (!script) {
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
  return kExitOk;
}

// Flushes and closes the output (standard output stays open); false when any write failed.
bool closeOutput(FILE* out, bool isStdout) {
  bool ok = std::fflush(out) == 0;
  ok = !std::ferror(out) && ok;
  if (!isStdout) ok = std::fclose(out) == 0 && ok;
  return ok;
}

// Runs the conversion into an open output and reports how it ended.
int convert(const DriverSettings& settings, const ObjectConfImpl* firstEntry, FILE* out) {
  try {
    runConversion(settings, firstEntry, out);
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

}  // namespace

void runConversion(const DriverSettings& settings, const ObjectConfImpl* firstEntry, FILE* out) {
  writeHeader(settings, out, stderr);
  for (const ObjectConfImpl* entry = firstEntry; entry != nullptr; entry = entry->next.get()) {
    std::fprintf(stderr, "Processing: %s\n", entry->fileName.c_str());
    FILE* input = openInput(entry->fileName);
    if (input == nullptr) {
      std::fprintf(stderr, "File not found: %s\n", entry->fileName.c_str());
      continue;
    }
    processMapFile(*entry, input, out, settings.lenient);
    if (std::ferror(out)) return;
  }
}

int runZarvex(int argc, const char* const* argv) {
  // Before anything is written to it: the map, the token dumps and the messages that go to
  // standard output then share one buffer and keep their order. A terminal keeps its line
  // buffering, so that a person watching sees messages as they come.
  if (!isTerminal(stdout)) std::setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer);

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

  std::unique_ptr<ObjectConfImpl> firstEntry;
  int code = kExitOk;
  try {
    code = parseScript(settings, firstEntry);
  } catch (const IOException& e) {
    code = reportReadError(e);
  } catch (const TokenizerException& e) {
    code = reportReadError(e);
  }
  if (code != kExitOk) {
    std::fflush(stdout);
    return code;
  }

  // Creating the output truncates it; were it one of the inputs, the user's map would be lost
  // before it is read.
  const std::string overwritten = inputOverwrittenByOutput(settings, firstEntry.get());
  if (!overwritten.empty()) {
    std::fprintf(stderr, "Output is also an input: %s\n", overwritten.c_str());
    std::fflush(stdout);
    return kExitFailure;
  }

  // Opened only now, so that a faulty script never creates or truncates the output.
  FILE* out = stdout;
  std::unique_ptr<char[]> outputBuffer;
  if (!settings.outputToStdout) {
    out = std::fopen(settings.outputName.c_str(), "w");
    if (out == nullptr) {
      std::fprintf(stderr, "Error opening file: %s\n", settings.outputName.c_str());
      std::fflush(stdout);
      return kExitFailure;
    }
    outputBuffer = std::make_unique<char[]>(kOutputBufferSize);
    std::setvbuf(out, outputBuffer.get(), _IOFBF, kOutputBufferSize);
  }

  code = convert(settings, firstEntry.get(), out);

  if (!closeOutput(out, settings.outputToStdout)) {
    std::fprintf(stderr, "Error writing file: %s\n", settings.outputName.c_str());
    if (code == kExitOk) code = kExitFailure;
  }
  if (!settings.outputToStdout) std::fflush(stdout);
  return code;
}

}  // namespace zarvex
