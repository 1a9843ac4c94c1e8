#include "gui/io/file_system.h"

#include <algorithm>
#include <string_view>

namespace visual {
namespace {

// File names are the system's bytes in whatever encoding it uses, so only ASCII letters are
// folded; that covers the wildcards the program builds ("Type-*.dat").
char folded(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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

#ifdef _WIN32
constexpr char kSeparator = '\\';
bool isSeparator(char c) {
  return c == '/' || c == '\\';
}
bool isDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
// "C:\" and "\" are roots that stay with the folder part; so does the "C:" of "C:name".
std::size_t rootLength(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0]))
    return path.size() > 2 && isSeparator(path[2]) ? 3 : 2;
  return !path.empty() && isSeparator(path[0]) ? 1 : 0;
}
#else
constexpr char kSeparator = '/';
bool isSeparator(char c) {
  return c == '/';
}
std::size_t rootLength(std::string_view path) {
  return !path.empty() && path[0] == '/' ? 1 : 0;
}
#endif

std::size_t nameStart(std::string_view path) {
  const std::size_t root = rootLength(path);
  std::size_t i = path.size();
  while (i > root && !isSeparator(path[i - 1])) --i;
  return i;
}

}  // namespace

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

void sortByFoldedName(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), foldedLess);
}

std::string tooLargeError(const std::string& path) {
  return path + ": файл больше 64 МиБ";
}

std::string notAFileError(const std::string& path) {
  return path + ": не обычный файл";
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (isSeparator(folder.back())) return folder + name;
  return folder + kSeparator + name;
}

std::string folderOf(const std::string& path) {
  const std::size_t start = nameStart(path);
  const std::size_t root = rootLength(path);
  // "a//b" has the folder "a"; "/b" keeps the root, which would otherwise read as no folder.
  std::size_t end = start;
  while (end > root && isSeparator(path[end - 1])) --end;
  return path.substr(0, end);
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
