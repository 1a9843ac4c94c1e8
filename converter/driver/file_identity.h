#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zarvex {

/// What tells two names of one file apart from names of two files: the volume and the file's
/// number on it.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  bool regular = false;  // an ordinary file, not a folder or a device

  bool sameFile(const FileIdentity& other) const {
    return volume == other.volume && file == other.file;
  }
};

/// The identity of the file that `path` names, or nothing when it cannot be looked up (it does
/// not exist, or the system gives no stable identity for it, as for devices on Windows).
std::optional<FileIdentity> fileIdentity(const std::string& path);

}  // namespace zarvex
