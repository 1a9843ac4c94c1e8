#include "gui/io/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "gui/io/file_error.h"
#include "gui/io/file_system.h"

namespace visual {
namespace {

// The profile functions trim only blanks and tabs, unlike the text helpers of the logic, which
// trim every control byte too.
std::string_view trimmedBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Names are matched like the platform does: ASCII letters only, whatever the code page.
std::string lowerName(std::string_view name) {
  std::string out(trimmedBlanks(name));
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The name of a "[name]" line, or nothing when the line is no section header.
bool sectionName(std::string_view line, std::string* name) {
  const std::string_view t = trimmedBlanks(line);
  if (t.empty() || t.front() != '[') return false;
  const auto close = t.find(']');
  if (close == std::string_view::npos) return false;
  *name = lowerName(t.substr(1, close - 1));
  return true;
}

// A line break inside a value would turn the rest of it into lines of their own (and possibly
// into keys or sections), so it is written as a blank.
std::string singleLine(const std::string& value) {
  std::string out = value;
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

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

// mkstemp creates the file for its owner only; the profile should keep the mode it had, or get
// the one a plain fopen would have given it.
mode_t modeFor(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void ProfileFile::addLine(std::string line) {
  std::string name;
  if (sectionName(line, &name)) {
    sectionIndex_.emplace(name, sections_.size());
    sections_.emplace_back().lines.push_back(std::move(line));
    return;
  }
  Section& section = sections_.back();
  section.lines.push_back(std::move(line));
  if (sections_.size() == 1) return;  // keys before any section are never matched
  const std::string& text = section.lines.back();
  const std::string_view t = trimmedBlanks(text);
  if (t.empty() || t.front() == ';') return;
  const auto eq = text.find('=');
  if (eq == std::string::npos) return;
  std::string key = lowerName(std::string_view(text).substr(0, eq));
  if (key.empty()) return;
  const std::size_t index = section.lines.size() - 1;
  section.keys.emplace(std::move(key), index);
  section.lastKeyLine = index;
}

bool ProfileFile::load(const std::string& path, std::string* error) {
  sections_.assign(1, Section{});
  sectionIndex_.clear();

  // Without O_NONBLOCK a FIFO would hold the open until someone writes to it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    setError(error, fileError(FileAction::Read, path, errno));
    return false;
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
    return false;
  }
  std::string data;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int number = errno;
      ::close(fd);
      setError(error, fileError(FileAction::Read, path, number));
      return false;
    }
    if (n == 0) break;
    // The file may grow while it is read.
    if (data.size() + static_cast<std::size_t>(n) > kMaxTextFileBytes) {
      ::close(fd);
      setError(error, tooLargeError(path));
      return false;
    }
    data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);

  std::size_t start = 0;
  while (start < data.size()) {
    const auto end = data.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      addLine(data.substr(start));
      break;
    }
    addLine(data.substr(start, end - start));
    start = end + 1;
    if (data[end] == '\r' && start < data.size() && data[start] == '\n') ++start;
  }
  return true;
}

std::string ProfileFile::get(const std::string& section, const std::string& key,
                             const std::string& fallback) const {
  const auto s = sectionIndex_.find(lowerName(section));
  if (s == sectionIndex_.end()) return fallback;
  const Section& found = sections_[s->second];
  const auto k = found.keys.find(lowerName(key));
  if (k == found.keys.end()) return fallback;
  const std::string& line = found.lines[k->second];
  std::string_view value = trimmedBlanks(std::string_view(line).substr(line.find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

void ProfileFile::set(const std::string& section, const std::string& key,
                      const std::string& value) {
  const std::string name = lowerName(section);
  auto s = sectionIndex_.find(name);
  if (s == sectionIndex_.end()) {
    s = sectionIndex_.emplace(name, sections_.size()).first;
    sections_.emplace_back().lines.push_back("[" + section + "]");
  }
  Section& found = sections_[s->second];
  const std::string lowerKey = lowerName(key);
  const auto k = found.keys.find(lowerKey);
  if (k != found.keys.end()) {
    std::string& line = found.lines[k->second];
    line.replace(line.find('=') + 1, std::string::npos, singleLine(value));
    return;
  }
  // Only blank, comment and other non-key lines follow the last key line, so no index that the
  // section holds moves.
  const std::size_t index = found.lastKeyLine + 1;
  found.lines.insert(found.lines.begin() + static_cast<std::ptrdiff_t>(index),
                     key + "=" + singleLine(value));
  found.keys.emplace(lowerKey, index);
  found.lastKeyLine = index;
}

bool ProfileFile::save(const std::string& path, std::string* error) const {
  std::string data;
  for (const Section& section : sections_) {
    for (const std::string& line : section.lines) {
      data += line;
      data += '\n';
    }
  }

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
  if (::fchmod(fd, modeFor(path)) != 0 || !writeAll(fd, data) || ::fsync(fd) != 0) {
    return fail(errno, true);
  }
  if (::close(fd) != 0) return fail(errno, false);
  if (::rename(temporary.c_str(), path.c_str()) != 0) return fail(errno, false);
  return true;
}

std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback) {
  ProfileFile profile;
  if (!profile.load(path, nullptr)) return fallback;
  return profile.get(section, key, fallback);
}

bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  ProfileFile profile;
  if (!profile.load(path, nullptr)) return false;
  profile.set(section, key, value);
  return profile.save(path, nullptr);
}

}  // namespace visual
