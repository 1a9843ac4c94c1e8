#include "gui/io/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "gui/io/file_error.h"

namespace visual {
namespace {

// File names are the system's bytes in whatever encoding it uses, so only ASCII letters are
// folded; that covers the wildcards the program builds ("Type-*.dat").
char folded(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Only '*' and '?' are wildcards, as on the platform the file choice comes from; '[' and '\\'
// are ordinary characters of a type set name.
bool wildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || folded(pattern[p]) == folded(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool foldedLess(const std::string& a, const std::string& b) {
  const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return folded(x) == folded(y); });
  if (mismatch.first == a.end() || mismatch.second == b.end()) {
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
  }
  return static_cast<unsigned char>(folded(*mismatch.first)) <
         static_cast<unsigned char>(folded(*mismatch.second));
}

bool isSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

std::size_t nameStart(std::string_view path) {
  std::size_t i = path.size();
  while (i > 0 && !isSeparator(path[i - 1])) --i;
  return i;
}

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
  std::sort(names.begin(), names.end(), foldedLess);
  return names;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return statRegular(path, &st);
}

uint64_t fileSize(const std::string& path) {
  struct stat st {};
  return statRegular(path, &st) ? static_cast<uint64_t>(st.st_size) : 0;
}

std::string tooLargeError(const std::string& path) {
  return path + ": файл больше 64 МиБ";
}

std::string notAFileError(const std::string& path) {
  return path + ": не обычный файл";
}

bool deleteFile(const std::string& path, std::string* error) {
  if (::unlink(path.c_str()) == 0) return true;
  if (error) *error = fileError(FileAction::Delete, path, errno);
  return false;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (isSeparator(folder.back())) return folder + name;
  return folder + '/' + name;
}

std::string folderOf(const std::string& path) {
  std::size_t end = nameStart(path);
  if (end == 0) return {};
  // "a//b" has the folder "a"; "/b" keeps the root, which would otherwise read as no folder.
  while (end > 1 && isSeparator(path[end - 1]) && isSeparator(path[end - 2])) --end;
  return end == 1 ? path.substr(0, 1) : path.substr(0, end - 1);
}

std::string nameOf(const std::string& path) {
  return path.substr(nameStart(path));
}

std::string stem(const std::string& name) {
  return withoutExtension(nameOf(name));
}

std::string withoutExtension(const std::string& path) {
  const std::size_t start = nameStart(path);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < start) return path;
  return path.substr(0, dot);
}

}  // namespace visual
