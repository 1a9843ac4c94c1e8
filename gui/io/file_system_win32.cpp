#include <windows.h>

#include "gui/io/file_system.h"
#include "gui/io/windows_error.h"

namespace visual {
namespace {

// Attributes of what `path` names, INVALID_FILE_ATTRIBUTES when nothing does.
DWORD attributesOf(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool isFileAttributes(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  // Every name is listed and matched here: the system's own matching also tries the short 8.3
  // names, so that "*.dat" would find "x.data" on some disks and not on others.
  const std::string all = joinPath(folder.empty() ? "." : folder, "*");
  WIN32_FIND_DATAA found{};
  const HANDLE search = ::FindFirstFileA(all.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && wildcardMatch(pattern, name))
      names.push_back(name);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  sortByFoldedName(names);
  return names;
}

bool fileExists(const std::string& path) {
  return isFileAttributes(attributesOf(path));
}

bool pathExists(const std::string& path) {
  return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const std::string& path) {
  const DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

uint64_t fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The C library's rename refuses to replace a file on Windows.
bool renameOver(const std::string& from, const std::string& to, std::string* error) {
  if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (error) *error = windowsFileError(FileAction::Write, to, ::GetLastError());
  return false;
}

bool deleteFile(const std::string& path, std::string* error) {
  if (::DeleteFileA(path.c_str())) return true;
  if (error) *error = windowsFileError(FileAction::Delete, path, ::GetLastError());
  return false;
}

}  // namespace visual
