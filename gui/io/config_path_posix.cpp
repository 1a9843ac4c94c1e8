#include "gui/io/config_path.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "gui/io/file_system.h"

namespace visual {
namespace {

constexpr const char* kIniName = "visualzarvex.ini";

// A relative setting would put the file wherever the program happens to be started, so, as the
// base directory rules say, only an absolute one counts.
std::string absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return {};
  return value;
}

std::string homeFolder() {
  std::string home = absoluteVariable("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = ::getpwuid(::getuid())) {
    if (entry->pw_dir && entry->pw_dir[0] == '/') return entry->pw_dir;
  }
  return {};
}

// Failures are left to the first write, which reports them with the reason.
void makeFolders(const std::string& folder) {
  for (std::size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') {
      ::mkdir(folder.substr(0, i).c_str(), 0700);
    }
  }
}

}  // namespace

std::string iniFilePath() {
  std::string folder = absoluteVariable("XDG_CONFIG_HOME");
  if (folder.empty()) {
    const std::string home = homeFolder();
    if (home.empty()) return kIniName;
    folder = joinPath(home, ".config");
  }
  makeFolders(folder);
  return joinPath(folder, kIniName);
}

}  // namespace visual
