#pragma once

#include <string>
#include <vector>

namespace visual {

/// A conversion as generation prepared it: the batch file, and the same converter call as an
/// argument vector (the converter's path first).
struct ConverterRun {
  std::string batchFile;
  std::vector<std::string> command;
  /// The user chose to see the run in a terminal window rather than in the program's own.
  bool inTerminal = false;
};

/// True when startConversion can show the run in a window of its own (a terminal emulator, or
/// the console that opens the batch file).
bool terminalAvailable();

/// Starts the conversion in the batch file's folder, detached, inside a terminal emulator when
/// one is available so that the user sees the converter's output. Windows opens the batch file;
/// elsewhere the command is run directly, never through a shell, so that no path is read as
/// shell text. False when nothing could be started.
bool startConversion(const ConverterRun& run);

/// Runs the conversion like startConversion but in this process's own streams and waits for it:
/// the converter's exit code, or -1 when it could not be started.
int runConversion(const ConverterRun& run);

#ifndef _WIN32
/// The hidden option under which the terminal window runs `command`, and keeps the window open
/// until Enter once it has finished (what the batch file's "pause" does on Windows).
inline constexpr const char* kHoldOption = "--hold";
/// Runs `command` (its folder is the current one), then waits for Enter when standard input is
/// a terminal; the command's exit code, or 1 when it could not be started.
int runAndHold(const std::vector<std::string>& command);
#endif

}  // namespace visual
