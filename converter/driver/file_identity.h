#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zarvex {

/// Where a file lives on its device, so that two paths can be found to name the same file.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  /// A regular file, not a folder, device or FIFO.
  bool regular = false;

  bool sameFile(const FileIdentity& other) const {
    return device == other.device && file == other.file;
  }
};

/// The identity of the file that `path` names, links followed; none when it cannot be examined.
std::optional<FileIdentity> identifyFile(const std::string& path);

}  // namespace zarvex
