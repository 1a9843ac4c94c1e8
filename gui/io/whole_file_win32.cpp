#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "gui/io/file_system.h"
#include "gui/io/whole_file.h"
#include "gui/io/windows_error.h"

namespace visual {
namespace {

void setError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

bool isMissing(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

bool writeAll(HANDLE file, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1 << 20));
    DWORD written = 0;
    if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

std::string withCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

ReadResult readWholeFile(const std::string& path, std::string* data, std::string* error) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = ::GetLastError();
    if (isMissing(code)) return ReadResult::Missing;
    setError(error, windowsFileError(FileAction::Read, path, code));
    return ReadResult::Failed;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    setError(error, fileError(FileAction::Read, path, EISDIR));
    return ReadResult::Failed;
  }
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (isMissing(code)) return ReadResult::Missing;
    setError(error, windowsFileError(FileAction::Read, path, code));
    return ReadResult::Failed;
  }
  const auto fail = [&](const std::string& text) {
    ::CloseHandle(file);
    setError(error, text);
    return ReadResult::Failed;
  };
  // NUL, CON, COM1 and pipes are no settings files; reading a console would wait for the user.
  if (::GetFileType(file) != FILE_TYPE_DISK) return fail(notAFileError(path));
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size))
    return fail(windowsFileError(FileAction::Read, path, ::GetLastError()));
  if (static_cast<uint64_t>(size.QuadPart) > kMaxTextFileBytes) return fail(tooLargeError(path));
  data->clear();
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr))
      return fail(windowsFileError(FileAction::Read, path, ::GetLastError()));
    if (got == 0) break;
    // The file may grow while it is read.
    if (data->size() + got > kMaxTextFileBytes) return fail(tooLargeError(path));
    data->append(buffer, got);
  }
  ::CloseHandle(file);
  return ReadResult::Read;
}

bool replaceWholeFile(const std::string& path, const std::string& text, std::string* error) {
  const DWORD old = ::GetFileAttributesA(path.c_str());
  // Found before anything is written, as the rename would find it.
  if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    setError(error, fileError(FileAction::Write, path, EISDIR));
    return false;
  }
  std::string temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary =
        path + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt);
    file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    setError(error, windowsFileError(FileAction::Write, path, ::GetLastError()));
    return false;
  }
  bool ok = writeAll(file, withCrLf(text)) && ::FlushFileBuffers(file);
  DWORD code = ok ? ERROR_SUCCESS : ::GetLastError();
  if (!::CloseHandle(file) && ok) {
    ok = false;
    code = ::GetLastError();
  }
  if (ok) {
    // ReplaceFile keeps the old file's attributes and access rights; it needs an old file.
    ok = old != INVALID_FILE_ATTRIBUTES
             ? ::ReplaceFileA(path.c_str(), temporary.c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
             : ::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) code = ::GetLastError();
  }
  if (!ok) {
    ::DeleteFileA(temporary.c_str());
    setError(error, windowsFileError(FileAction::Write, path, code));
  }
  return ok;
}

}  // namespace visual
