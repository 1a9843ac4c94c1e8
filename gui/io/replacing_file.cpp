#include "gui/io/replacing_file.h"

#include <cerrno>
#include <cstring>

namespace visual {

ReplacingFile::~ReplacingFile() {
  if (file_) std::fclose(file_);
  if (pending_) std::remove(temporary_.c_str());
}

bool ReplacingFile::open(const std::string& path) {
  path_ = path;
  temporary_ = path + ".part";
  file_ = std::fopen(temporary_.c_str(), "wb");
  if (!file_) {
    fail();
    return false;
  }
  pending_ = true;
  return true;
}

void ReplacingFile::fail() {
  if (error_.empty()) error_ = path_ + ": " + std::strerror(errno);
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
