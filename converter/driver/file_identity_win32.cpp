#include <windows.h>

#include "converter/driver/file_identity.h"

namespace zarvex {

// stat() gives no file number on Windows (st_ino is always 0), so the handle is asked instead.
std::optional<FileIdentity> fileIdentity(const std::string& path) {
  // No access rights are needed for the information; sharing everything never disturbs a file
  // that another program holds open. Backup semantics let folders be opened too.
  HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<FileIdentity> identity;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) != 0) {
    identity = FileIdentity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0};
  }
  CloseHandle(handle);
  return identity;
}

}  // namespace zarvex
