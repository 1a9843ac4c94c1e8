#include "gui/io/conversion_report.h"

#include <array>
#include <vector>

#include "gui/io/text_util.h"

namespace visual {

namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!trimmed(line).empty()) lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "12: message" as the converter prints a parse error or a token: the number and the rest.
bool numberedLine(std::string_view line, std::string_view* number, std::string_view* rest) {
  std::size_t digits = 0;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits == 0 || line.substr(digits, 2) != ": ") return false;
  *number = line.substr(0, digits);
  *rest = line.substr(digits + 2);
  return true;
}

struct Known {
  std::string_view prefix;
  const char* russian;
  bool namesFile;  // the file follows the prefix; otherwise it is the one being read
};

constexpr std::array kKnown = {
    Known{"File not found: ", "Файл не найден: ", true},
    Known{"Read error: ", "Не удалось прочитать файл ", false},
    Known{"Error opening file: ", "Не удалось открыть выходной файл ", true},
    Known{"Error writing file: ", "Не удалось записать выходной файл ", true},
    Known{"Out of memory: ", "Не хватило памяти при чтении файла ", true},
    Known{"Output is also an input: ", "Выходной файл совпадает с входным: ", true},
};

// The converter's own words about what went wrong, in Russian and naming the file.
std::string faultOf(const std::vector<std::string_view>& out,
                    const std::vector<std::string_view>& err, const std::string& script) {
  for (std::size_t i = err.size(); i-- > 0;) {
    const std::string_view line = err[i];
    constexpr std::string_view kMapError = "Error in file: '";
    if (startsWith(line, kMapError) && line.size() > kMapError.size() && line.back() == '\'') {
      std::string text = "Ошибка в файле ";
      text += line.substr(kMapError.size(), line.size() - kMapError.size() - 1);
      std::string_view number, message;
      if (i + 1 < err.size() && numberedLine(err[i + 1], &number, &message))
        text += std::string(", строка ") + std::string(number) + " (" + std::string(message) + ")";
      return text;
    }
  }
  if (!out.empty() && startsWith(out.back(), "Unknown object type: "))
    return "Объект без типа (" + std::string(out.back()) + ")";
  constexpr std::string_view kProcessing = "Processing: ";
  std::string reading = script;
  for (const std::string_view line : err)
    if (startsWith(line, kProcessing)) reading = line.substr(kProcessing.size());
  // Progress and the lenient reading's summaries are no faults.
  std::string_view last;
  for (const std::string_view line : err)
    if (!startsWith(line, kProcessing) && !startsWith(line, "Skipped: ") &&
        !startsWith(line, "Kept: "))
      last = line;
  if (last.empty()) return {};
  for (const Known& known : kKnown) {
    if (!startsWith(last, known.prefix)) continue;
    const std::string_view rest = last.substr(known.prefix.size());
    return known.russian +
           (known.namesFile ? std::string(rest) : reading + " (" + std::string(rest) + ")");
  }
  // A fault of the script comes before any map is read; its line is that of the token shown.
  if (reading == script) {
    std::string text = "Ошибка в скрипте " + script;
    std::string_view number, token;
    if (!out.empty() && numberedLine(out.back(), &number, &token))
      text += std::string(", строка ") + std::string(number);
    return text + " (" + std::string(last) + ")";
  }
  return std::string(last);
}

}  // namespace

ConversionReport reportConversion(const ConversionEnd& end, std::string_view standardOutput,
                                  std::string_view standardError, const std::string& script) {
  ConversionReport report;
  if (end.stopped) {
    report.status = "Конвертация прервана";
  } else if (end.crashed) {
    report.status = "Ошибка конвертации: конвертер завершился аварийно";
  } else if (end.exitCode == 0) {
    report.ok = true;
    report.status = "Конвертация завершена";
    return report;
  } else {
    report.status = "Ошибка конвертации, код " + std::to_string(end.exitCode);
  }
  // Stopped by the user, the run ended as asked: there is nothing to show as an error.
  if (end.stopped) return report;
  report.error = report.status;
  const std::string fault = faultOf(linesOf(standardOutput), linesOf(standardError), script);
  if (!fault.empty()) report.error += "\n" + fault;
  return report;
}

}  // namespace visual
