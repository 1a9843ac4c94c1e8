#include "gui/io/shell.h"

#include <windows.h>

#include <shellapi.h>

#include "gui/io/file_system.h"

namespace visual {

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
  // Windows paths cannot hold a double quote, so quoting each argument keeps it whole, as the
  // batch line does.
  std::string line;
  for (const std::string& arg : run.command) {
    if (!line.empty()) line += ' ';
    line += '"' + arg + '"';
  }
  const std::string folder = folderOf(run.batchFile);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(run.command.front().c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process))
    return -1;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace visual
