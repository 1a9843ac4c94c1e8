#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "gui/io/file_error.h"
#include "gui/io/file_system.h"

namespace visual {
namespace {

bool statRegular(const std::string& path, struct stat* st) {
  return ::stat(path.c_str(), st) == 0 && S_ISREG(st->st_mode);
}

}  // namespace

std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !wildcardMatch(pattern, name)) continue;
    struct stat st {};
    if (statRegular(joinPath(folder, name), &st)) names.push_back(name);
  }
  ::closedir(dir);
  sortByFoldedName(names);
  return names;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return statRegular(path, &st);
}

bool pathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

uint64_t fileSize(const std::string& path) {
  struct stat st {};
  return statRegular(path, &st) ? static_cast<uint64_t>(st.st_size) : 0;
}

bool renameOver(const std::string& from, const std::string& to, std::string* error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  if (error) *error = fileError(FileAction::Write, to, errno);
  return false;
}

bool deleteFile(const std::string& path, std::string* error) {
  if (::unlink(path.c_str()) == 0) return true;
  if (error) *error = fileError(FileAction::Delete, path, errno);
  return false;
}

}  // namespace visual
