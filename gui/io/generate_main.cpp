// visualzarvex-generate: the window program's --generate without the windows, for systems
// without a Qt (the Windows build) and for batch use.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "converter/driver/argument_code_page.h"
#include "gui/io/config_path.h"
#include "gui/io/file_system.h"
#include "gui/io/generate_command.h"
#include "gui/io/profile_file.h"
#include "gui/io/shell.h"
#include "gui/io/standard_streams.h"

namespace {

#ifdef _WIN32
constexpr const char* kConverterName = "zarvex.exe";
#else
constexpr const char* kConverterName = "zarvex";
#endif

bool namesConverter(const std::vector<std::string>& args) {
  for (const std::string& arg : args)
    if (arg == "--zarvex") return true;
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  visual::guardStandardStreams();
  // The bytes would name another file, or none.
  if (const std::optional<int> index = zarvex::argumentOutsideCodePage()) {
    std::cerr << "Name not representable in the ANSI code page: "
              << (*index < argc ? argv[*index] : "") << "\n";
    return 1;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  // The converter shipped beside this program, unless the command or the ini file names one.
  if (!namesConverter(args) &&
      visual::readProfileString(visual::iniFilePath(), "dir", "fnZARVEX_FileName", "").empty()) {
    const std::string beside = visual::joinPath(visual::programFolder(), kConverterName);
    if (visual::fileExists(beside)) args.insert(args.end(), {"--zarvex", beside});
  }
  return visual::runGenerateCommand(args, std::cout, std::cerr);
}
