#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace visual {

/// Names (without folder) of the regular files in `folder` that match `pattern` ('*' and '?'
/// wildcards, without regard to case), sorted by name without regard to case, so that the
/// result is the same on every machine.
std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern);
/// True when `name` matches `pattern`: '*' and '?' wildcards, ASCII letters without regard to
/// case.
bool wildcardMatch(std::string_view pattern, std::string_view name);
/// Sorts names without regard to ASCII case, then by their bytes.
void sortByFoldedName(std::vector<std::string>& names);
/// True when a file (not a folder) exists at `path`.
bool fileExists(const std::string& path);
/// True when anything (file, folder, link) has the name `path`.
bool pathExists(const std::string& path);
/// True when `path` is a folder.
bool isFolder(const std::string& path);
/// Size in bytes of the file at `path`, 0 when it cannot be read.
uint64_t fileSize(const std::string& path);
/// The largest settings, ini or type file that is read: far above any real one, and a bound on
/// the memory that a huge file or an endless device given in its place could take.
inline constexpr uint64_t kMaxTextFileBytes = uint64_t{64} << 20;
/// The messages for a file above kMaxTextFileBytes and for a device, FIFO or the like given
/// where a file is read.
std::string tooLargeError(const std::string& path);
std::string notAFileError(const std::string& path);
/// Renames the file `from` over `to`, which may exist; false (with `error`, naming `to`) on
/// failure.
bool renameOver(const std::string& from, const std::string& to, std::string* error);
/// Deletes the file; false (with `error`) on failure.
bool deleteFile(const std::string& path, std::string* error);
/// `folder` and `name` joined with the platform's separator ('\\' on Windows, which also reads
/// '/' and a drive letter's colon as ending a folder part).
std::string joinPath(const std::string& folder, const std::string& name);
/// The folder part of `path` (empty when it has none), the name part, and the name without its
/// extension.
std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);
std::string stem(const std::string& name);
/// `path` without the extension of its name (folder kept).
std::string withoutExtension(const std::string& path);

}  // namespace visual
