#include <windows.h>

#include <cerrno>

#include "gui/io/windows_error.h"

namespace visual {
namespace {

int nearestErrno(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    default:
      return EIO;
  }
}

// The wide text converted to UTF-8 rather than the ANSI one: the messages are UTF-8, and the
// ANSI code page may lack letters of the system's language.
std::string systemText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (length > 0) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                           nullptr, nullptr);
    message.resize(static_cast<std::size_t>(size));
    ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), message.data(), size, nullptr,
                          nullptr);
  }
  if (text) ::LocalFree(text);
  // The system's texts end in a full stop and a line break, which a message line does without.
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == '.' || message.back() == ' '))
    message.pop_back();
  if (message.empty()) message = "Windows error " + std::to_string(code);
  return message;
}

}  // namespace

std::string windowsFileError(FileAction action, const std::string& path, unsigned long code) {
  return fileError(action, path, nearestErrno(code), systemText(code));
}

}  // namespace visual
