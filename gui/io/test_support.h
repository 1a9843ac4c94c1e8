#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace visual {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "visualzarvex-" + std::to_string(::getpid()) + "-" +
                       std::to_string(counter++) + "-" + (info ? info->name() : "test");
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string path() const { return path_.string(); }
  /// The path of `name` inside the folder.
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  /// Writes `content` byte for byte to `name` and returns its path.
  std::string write(const std::string& name, const std::string& content) const {
    const std::string target = file(name);
    std::filesystem::create_directories(std::filesystem::path(target).parent_path());
    std::ofstream(target, std::ios::binary) << content;
    return target;
  }

 private:
  std::filesystem::path path_;
};

/// The whole content of a file byte for byte, empty when it cannot be read.
inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The whole content of a text file as a text-mode stream reads it: on Windows, where the program
/// writes CR LF, each CR LF is read as LF, so that expected texts are the same on every system.
inline std::string readFile(const std::string& path) {
  std::string text = readBytes(path);
#ifdef _WIN32
  std::size_t out = 0;
  for (std::size_t in = 0; in < text.size(); ++in)
    if (!(text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n')) text[out++] = text[in];
  text.resize(out);
#endif
  return text;
}

/// `text` with its LF line ends as the program writes them to a text file: CR LF on Windows.
inline std::string asWritten(const std::string& text) {
#ifdef _WIN32
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
#else
  return text;
#endif
}

/// The converter's file name, which the message asking for it names.
#ifdef _WIN32
inline const std::string kConverterFileName = "zarvex.exe";
#else
inline const std::string kConverterFileName = "zarvex";
#endif

/// Sets the environment variable `name`, or removes it when `value` is null.
inline void setEnvironment(const std::string& name, const char* value) {
#ifdef _WIN32
  // An empty value removes the variable on Windows.
  ::_putenv_s(name.c_str(), value ? value : "");
#else
  if (value)
    ::setenv(name.c_str(), value, 1);
  else
    ::unsetenv(name.c_str());
#endif
}

/// The source folder of the repository, from the environment that CTest sets.
inline std::string sourceDir() {
  const char* dir = std::getenv("ZARVEX_SOURCE_DIR");
  return dir ? dir : "";
}

/// `text` with every `from` replaced by `to`.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
    text.replace(at, from.size(), to), at += to.size();
  return text;
}

}  // namespace visual
