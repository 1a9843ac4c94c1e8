#include "gui/io/shell.h"

#include <windows.h>

#include <shellapi.h>

#include "gui/io/file_system.h"

namespace visual {

bool openBatchFile(const std::string& path) {
  const std::string folder = folderOf(path);
  const HINSTANCE result =
      ::ShellExecuteA(nullptr, nullptr, path.c_str(), nullptr,
                      folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
  // ShellExecute reports success with a value above 32.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace visual
