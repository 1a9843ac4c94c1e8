#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "converter/driver/binary_test_support.h"

namespace zarvextest {

int startZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                const fs::path& scratch, std::optional<fs::path> stdoutPath,
                const std::function<void()>& prepareChild) {
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

RunResult waitForZarvex(int pid, const fs::path& scratch, bool readStdout) {
  RunResult result;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (readStdout) result.out = readFile(scratch / "stdout").value_or("");
  result.err = readFile(scratch / "stderr").value_or("");
  return result;
}

RunResult runZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                    const fs::path& scratch, std::optional<fs::path> stdoutPath,
                    const std::function<void()>& prepareChild) {
  const bool readStdout = !stdoutPath;
  return waitForZarvex(startZarvex(args, workDir, scratch, std::move(stdoutPath), prepareChild),
                       scratch, readStdout);
}

RunResult runZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                    const fs::path& scratch, std::optional<fs::path> stdoutPath) {
  return runZarvex(args, workDir, scratch, std::move(stdoutPath), {});
}

std::string fromPlatformText(const std::string& written) { return written; }

std::optional<std::string> fullDevice() { return "/dev/full"; }

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "zarvex-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

}  // namespace zarvextest
