#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "gui/io/file_system.h"
#include "gui/io/shell.h"

namespace visual {
namespace {

// One argument as the C runtime's command-line parser splits it back: quoted, with the
// backslashes before a quote (and before the closing one) doubled.
void appendQuoted(const std::string& arg, std::string* line) {
  *line += '"';
  std::size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    line->append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    *line += c;
  }
  line->append(2 * backslashes, '\\');
  *line += '"';
}

}  // namespace

// Opened by the shell, the batch file always runs in a console window of its own.
bool terminalAvailable() {
  return true;
}

// The batch file is the Windows form of the command, so the shell opens it as it always has.
bool startConversion(const ConverterRun& run) {
  const std::string folder = folderOf(run.batchFile);
  const HINSTANCE result =
      ::ShellExecuteA(nullptr, nullptr, run.batchFile.c_str(), nullptr,
                      folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
  // ShellExecute reports success with a value above 32.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

int runConversion(const ConverterRun& run) {
  if (run.command.empty()) return -1;
  std::string line;
  for (const std::string& arg : run.command) {
    if (!line.empty()) line += ' ';
    appendQuoted(arg, &line);
  }
  // A bare name is looked up as the batch line's would be (the system's folders and PATH) only
  // when no application name is given.
  const std::string& program = run.command.front();
  const bool bare = program.find_first_of("\\/:") == std::string::npos;
  const std::string folder = folderOf(run.batchFile);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(bare ? nullptr : program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process))
    return -1;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

std::string programFolder() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return folderOf(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace visual
