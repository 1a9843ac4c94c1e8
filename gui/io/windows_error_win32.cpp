#include <windows.h>

#include "gui/io/windows_error.h"

namespace visual {

std::string windowsError(const std::string& path, unsigned long code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (length > 0) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                           nullptr, nullptr);
    message.resize(static_cast<std::size_t>(size));
    ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), message.data(), size,
                          nullptr, nullptr);
  }
  if (text) ::LocalFree(text);
  // The system's texts end in a full stop and a line break, which a message line does without.
  while (!message.empty() &&
         (message.back() == '\r' || message.back() == '\n' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "Windows error " + std::to_string(code);
  return path + ": " + message;
}

}  // namespace visual
