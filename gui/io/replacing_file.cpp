#include "gui/io/replacing_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "gui/io/file_error.h"

namespace visual {

ReplacingFile::~ReplacingFile() {
  if (file_) std::fclose(file_);
  if (pending_) std::remove(temporary_.c_str());
}

namespace {

// Exclusive creation where the C library has it; the name check below covers the others.
#ifdef _WIN32
constexpr const char* kCreateNew = "wb";
#else
constexpr const char* kCreateNew = "wbx";
#endif

}  // namespace

bool ReplacingFile::open(const std::string& path) {
  path_ = path;
  // A folder in the way is found now, before any file of a set is replaced, not at the rename.
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    errno = EISDIR;
    fail();
    return false;
  }
  // A file of the user's that happens to have the temporary name, or another generation's
  // temporary file, is never written over: the next free name is taken.
  errno = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = path + (attempt == 0 ? "" : "." + std::to_string(attempt)) + ".part";
    if (std::filesystem::exists(temporary_, ec) || ec) continue;
    file_ = std::fopen(temporary_.c_str(), kCreateNew);
    if (file_ || errno != EEXIST) break;
  }
  if (!file_) {
    if (errno == 0) errno = EEXIST;
    fail();
    return false;
  }
  pending_ = true;
  return true;
}

void ReplacingFile::fail() {
  if (error_.empty()) error_ = fileError(FileAction::Write, path_, errno);
}

void ReplacingFile::write(std::string_view bytes) {
  if (!file_ || !error_.empty() || bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) fail();
}

void ReplacingFile::writeLine(std::string_view text) {
  write(text);
  write("\n");
}

bool ReplacingFile::finish() {
  if (file_) {
    if (std::fflush(file_) != 0) fail();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) fail();
  } else if (!pending_ && error_.empty()) {
    errno = EBADF;
    fail();
  }
  return error_.empty();
}

bool ReplacingFile::commit() {
  if (!finish()) return false;
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    fail();
    return false;
  }
  pending_ = false;
  return true;
}

}  // namespace visual
