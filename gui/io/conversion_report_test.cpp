#include "gui/io/conversion_report.h"

#include <gtest/gtest.h>

namespace visual {
namespace {

struct Case {
  const char* name;
  ConversionEnd end;
  const char* out;
  const char* err;
  bool ok;
  const char* error;
};

// The converter's messages as it prints them, for each way a run ends.
const Case kCases[] = {
    {"finished", {0}, "", "Processing: /m/town.mp\n", true, ""},
    {"map error names file and line",
     {1},
     "11: float: 4.700000\n",
     "Processing: a.mp\nProcessing: /m/bad.mp\nError in file: '/m/bad.mp'\n10: Number expected\n",
     false,
     "Ошибка конвертации, код 1\nОшибка в файле /m/bad.mp, строка 10 (Number expected)"},
    {"script error takes the line of the token shown",
     {1},
     "2: word: colour\n",
     "Unknown variable: colour\n",
     false,
     "Ошибка конвертации, код 1\nОшибка в скрипте /m/town.cfg, строка 2 (Unknown variable: "
     "colour)"},
    {"missing script",
     {1},
     "",
     "File not found: /m/town.cfg\n",
     false,
     "Ошибка конвертации, код 1\nФайл не найден: /m/town.cfg"},
    {"read error names the file being read",
     {2},
     "",
     "Processing: /m/dir.mp\nRead error: Is a directory\n",
     false,
     "Ошибка конвертации, код 2\nНе удалось прочитать файл /m/dir.mp (Is a directory)"},
    {"output refused",
     {1},
     "",
     "Error opening file: /ro/out.mp\n",
     false,
     "Ошибка конвертации, код 1\nНе удалось открыть выходной файл /ro/out.mp"},
    {"object without a type",
     {1},
     "Unknown object type: '7'\n",
     "Processing: /m/town.mp\r\n",
     false,
     "Ошибка конвертации, код 1\nОбъект без типа (Unknown object type: '7')"},
    {"crash",
     {0, true},
     "",
     "Processing: /m/town.mp\n",
     false,
     "Ошибка конвертации: конвертер завершился аварийно"},
    {"stopped", {0, true, true}, "", "Processing: /m/town.mp\n", false, ""},
};

TEST(ConversionReport, EachEndGivesOneStatusLineAndTheFault) {
  for (const Case& c : kCases) {
    const ConversionReport report = reportConversion(c.end, c.out, c.err, "/m/town.cfg");
    EXPECT_EQ(report.ok, c.ok) << c.name;
    EXPECT_EQ(report.error, c.error) << c.name;
    const std::string firstLine = report.error.substr(0, report.error.find('\n'));
    const char* status = c.ok            ? "Конвертация завершена"
                         : c.end.stopped ? "Конвертация прервана"
                                         : firstLine.c_str();
    EXPECT_EQ(report.status, status) << c.name;
  }
}

}  // namespace
}  // namespace visual
