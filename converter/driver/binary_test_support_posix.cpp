#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "converter/driver/binary_test_support.h"

namespace zarvextest {

RunResult runZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                    const fs::path& scratch, std::optional<fs::path> stdoutPath) {
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
    execv(ZARVEX_BINARY, argv.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (!stdoutPath) result.out = readFile(outPath).value_or("");
  result.err = readFile(errPath).value_or("");
  return result;
}

std::string fromPlatformText(const std::string& written) { return written; }

std::optional<std::string> fullDevice() { return "/dev/full"; }

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "zarvex-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

}  // namespace zarvextest
