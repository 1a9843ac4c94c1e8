#pragma once

// Files and scratch folders for tests, and running the built zarvex binary from those that
// define ZARVEX_BINARY to name it.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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

struct RunResult {
  std::string out;
  std::string err;
  int exitCode = -1;
};

#ifdef ZARVEX_BINARY
/// Starts the binary in `workDir` with argv[0] "zarvex", so that usage texts do not depend on the
/// build folder; standard input is empty. Standard output and error go to files of `scratch`, or
/// standard output to `stdoutPath` when given. `prepareChild` runs in the new process just
/// before the binary starts. Returns the process id, or -1.
inline pid_t startZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                         const fs::path& scratch, std::optional<fs::path> stdoutPath = std::nullopt,
                         const std::function<void()>& prepareChild = {}) {
  const fs::path outPath = stdoutPath.value_or(scratch / "stdout");
  const fs::path errPath = scratch / "stderr";
  std::vector<std::string> argvStore = {"zarvex"};
  argvStore.insert(argvStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvStore) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | (stdoutPath ? 0 : O_TRUNC), 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || chdir(workDir.c_str()) != 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (prepareChild) prepareChild();
    execv(ZARVEX_BINARY, argv.data());
    _exit(127);
  }
  return pid;
}

/// Waits for a process from startZarvex and reads what it printed (standard output only when it
/// went to `scratch`). A process ended by signal n gets the exit code 128 + n, as in a shell.
inline RunResult waitForZarvex(pid_t pid, const fs::path& scratch, bool readStdout = true) {
  RunResult result;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (readStdout) result.out = readFile(scratch / "stdout").value_or("");
  result.err = readFile(scratch / "stderr").value_or("");
  return result;
}

/// Runs the binary as startZarvex starts it and waits for it.
inline RunResult runZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                           const fs::path& scratch,
                           std::optional<fs::path> stdoutPath = std::nullopt,
                           const std::function<void()>& prepareChild = {}) {
  const pid_t pid = startZarvex(args, workDir, scratch, stdoutPath, prepareChild);
  return waitForZarvex(pid, scratch, !stdoutPath);
}

#endif  // ZARVEX_BINARY

/// A fresh temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "zarvex-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
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
