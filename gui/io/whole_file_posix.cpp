#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "gui/io/file_error.h"
#include "gui/io/file_system.h"
#include "gui/io/whole_file.h"

namespace visual {
namespace {

void setError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

bool writeAll(int fd, const std::string& data) {
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// mkstemp creates the file for its owner only; the file should keep the mode it had, or get
// the one a plain fopen would have given it.
mode_t modeFor(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReadResult readWholeFile(const std::string& path, std::string* data, std::string* error) {
  // Without O_NONBLOCK a FIFO would hold the open until someone writes to it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return ReadResult::Missing;
    setError(error, fileError(FileAction::Read, path, errno));
    return ReadResult::Failed;
  }
  struct stat st {};
  std::string refused;
  if (::fstat(fd, &st) != 0)
    refused = fileError(FileAction::Read, path, errno);
  else if (S_ISDIR(st.st_mode))
    refused = fileError(FileAction::Read, path, EISDIR);
  else if (!S_ISREG(st.st_mode))
    refused = notAFileError(path);
  else if (static_cast<uint64_t>(st.st_size) > kMaxTextFileBytes)
    refused = tooLargeError(path);
  if (!refused.empty()) {
    ::close(fd);
    setError(error, refused);
    return ReadResult::Failed;
  }
  data->clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int number = errno;
      ::close(fd);
      setError(error, fileError(FileAction::Read, path, number));
      return ReadResult::Failed;
    }
    if (n == 0) break;
    // The file may grow while it is read.
    if (data->size() + static_cast<std::size_t>(n) > kMaxTextFileBytes) {
      ::close(fd);
      setError(error, tooLargeError(path));
      return ReadResult::Failed;
    }
    data->append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ReadResult::Read;
}

bool replaceWholeFile(const std::string& path, const std::string& text, std::string* error) {
  std::string temporary = path + ".tmpXXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    setError(error, fileError(FileAction::Write, path, errno));
    return false;
  }
  const auto fail = [&](int number, bool open) {
    if (open) ::close(fd);
    ::unlink(temporary.c_str());
    setError(error, fileError(FileAction::Write, path, number));
    return false;
  };
  if (::fchmod(fd, modeFor(path)) != 0 || !writeAll(fd, text) || ::fsync(fd) != 0) {
    return fail(errno, true);
  }
  if (::close(fd) != 0) return fail(errno, false);
  if (::rename(temporary.c_str(), path.c_str()) != 0) return fail(errno, false);
  return true;
}

}  // namespace visual
