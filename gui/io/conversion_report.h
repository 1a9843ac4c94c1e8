#pragma once

#include <string>
#include <string_view>

namespace visual {

/// How a conversion run from the window ended.
struct ConversionEnd {
  int exitCode = 0;
  /// Ended by a signal or a crash rather than by exiting; exitCode means nothing then.
  bool crashed = false;
  /// The user stopped it.
  bool stopped = false;
};

/// What the window tells about a finished conversion, in UTF-8.
struct ConversionReport {
  bool ok = false;
  /// The one status line: "Конвертация завершена", "Ошибка конвертации, код N", ….
  std::string status;
  /// For a failure (not for a run the user stopped): the status line and, when the converter
  /// said it, the file and line at fault.
  std::string error;
};

/// Reads the converter's standard output and error (its own bytes; file names in the system's
/// encoding) after a run of the script `script`.
ConversionReport reportConversion(const ConversionEnd& end, std::string_view standardOutput,
                                  std::string_view standardError, const std::string& script);

}  // namespace visual
