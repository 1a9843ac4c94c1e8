#pragma once

// Running the built zarvex binary from tests; ZARVEX_BINARY names it. The system-specific part
// is in binary_test_support_<platform>.cpp.

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace zarvextest {

namespace fs = std::filesystem;

inline std::optional<std::string> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& path, const std::string& content) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

/// A path as a script's quoted string: every backslash (Windows' separator) doubled.
inline std::string scriptString(const fs::path& path) {
  std::string quoted = "\"";
  for (char c : path.string()) {
    if (c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

/// Text that the program wrote, with the system's line ends turned back into "\n". Where those
/// are CR LF, text holding any other line end is returned as it is, so that it never compares
/// equal to what was expected.
std::string fromPlatformText(const std::string& written);

/// A file that the program wrote as text, with "\n" line ends.
inline std::optional<std::string> readOutput(const fs::path& path) {
  std::optional<std::string> content = readFile(path);
  if (content) content = fromPlatformText(*content);
  return content;
}

struct RunResult {
  std::string out;
  std::string err;
  int exitCode = -1;
};

/// Runs the binary in `workDir` with argv[0] "zarvex", so that usage texts do not depend on the
/// build folder; standard input is empty. Standard output and error are caught in files of
/// `scratch`, or standard output goes to `stdoutPath` when given (and is then not read back).
/// What the program writes as text comes back with "\n" line ends on every system.
RunResult runZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                    const fs::path& scratch, std::optional<fs::path> stdoutPath = std::nullopt);

#ifndef _WIN32
/// Starts the binary as runZarvex does; `prepareChild` runs in the new process just before the
/// binary starts. Returns the process id, or -1.
int startZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                const fs::path& scratch, std::optional<fs::path> stdoutPath = std::nullopt,
                const std::function<void()>& prepareChild = {});

/// Waits for a process from startZarvex and reads what it printed (standard output only when it
/// went to `scratch`). A process ended by signal n gets the exit code 128 + n, as in a shell.
RunResult waitForZarvex(int pid, const fs::path& scratch, bool readStdout = true);

/// runZarvex with `prepareChild` run in the new process just before the binary starts.
RunResult runZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                    const fs::path& scratch, std::optional<fs::path> stdoutPath,
                    const std::function<void()>& prepareChild);
#endif

/// A device on which every write fails for want of space, where the system has one.
std::optional<std::string> fullDevice();

/// A fresh temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace zarvextest
