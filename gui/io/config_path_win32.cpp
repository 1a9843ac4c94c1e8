#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstdlib>

#include "gui/io/config_path.h"
#include "gui/io/file_system.h"

namespace visual {
namespace {

constexpr const char* kIniName = "visualzarvex.ini";

bool isAbsolute(const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  const bool share = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && path[1] == path[0];
  return drive || share;
}

// The variable first, as every program started from a console or a test sees it; the shell's
// folder when it is missing.
std::string applicationDataFolder() {
  const char* variable = std::getenv("APPDATA");
  if (variable && isAbsolute(variable)) return variable;
  char folder[MAX_PATH] = {};
  if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                   SHGFP_TYPE_CURRENT, folder)))
    return folder;
  return {};
}

// Failures are left to the first write, which reports them with the reason.
void makeFolders(const std::string& folder) {
  for (std::size_t i = 3; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '\\' || folder[i] == '/')
      ::CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
  }
}

}  // namespace

std::string iniFilePath() {
  const std::string folder = applicationDataFolder();
  // Only an account without a profile has none; the current folder is all that is left.
  if (folder.empty()) return kIniName;
  makeFolders(folder);
  return joinPath(folder, kIniName);
}

}  // namespace visual
