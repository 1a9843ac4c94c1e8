#include "gui/io/shell.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/io/file_system.h"

namespace visual {
namespace {

struct Terminal {
  const char* program;
  const char* runOption;  // the option after which the command and its arguments follow
};

constexpr Terminal kTerminals[] = {
    {"x-terminal-emulator", "-e"}, {"xterm", "-e"},          {"konsole", "-e"},
    {"gnome-terminal", "--"},      {"xfce4-terminal", "-x"},
};

constexpr const char* kPrompt = "Для продолжения нажмите Enter . . . ";

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

std::string findInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  const std::string folders = path;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = folders.find(':', start);
    const std::string folder = folders.substr(start, end - start);
    const std::string candidate = joinPath(folder.empty() ? "." : folder, program);
    if (fileExists(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) return {};
    start = end + 1;
  }
}

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  std::string buffer(4096, '\0');
  while (!::getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return path;
    buffer.resize(buffer.size() * 2);
  }
  return joinPath(buffer.c_str(), path);
}

// This program, which the terminal runs with kHoldOption around the converter.
std::string ownPath() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

// The folder the batch file's relative paths are read from.
std::string runFolder(const ConverterRun& run) {
  return folderOf(absolutePath(run.batchFile));
}

std::vector<char*> argvOf(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return argv;
}

// Between fork and exec only async-signal-safe calls are made: the window program has threads.
[[noreturn]] void failChild(int pipeFd) {
  const int number = errno;
  [[maybe_unused]] const ssize_t written = ::write(pipeFd, &number, sizeof number);
  ::_exit(127);
}

void restoreSignals() {
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction deflt {};
  deflt.sa_handler = SIG_DFL;
  ::sigaction(SIGPIPE, &deflt, nullptr);
  ::sigaction(SIGCHLD, &deflt, nullptr);
}

int waitFor(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// Waits until the child has exec'd (the pipe closes without a word) or failed (it sends its
// errno, which is set here); true in the first case.
bool execReported(int reportFd) {
  int number = 0;
  ssize_t n;
  do {
    n = ::read(reportFd, &number, sizeof number);
  } while (n < 0 && errno == EINTR);
  if (n == sizeof number) errno = number;
  return n == 0;
}

enum class Mode { Detached, Waited };

// Runs `args` in `folder` (then `fallback` when `args` cannot be executed). Detached, the
// program outlives this one in a session of its own and reads nothing from our input; waited,
// it shares our streams. The program's exit code (0 once a detached one runs), or -1 when
// nothing could be started.
int spawn(std::vector<std::string> args, std::vector<std::string> fallback,
          const std::string& folder, Mode mode) {
  if (args.empty()) return -1;
  // A bare program name is looked up in PATH, as a batch file's command line would be; here,
  // before the fork, since the lookup is not safe between fork and exec.
  for (std::vector<std::string>* command : {&args, &fallback}) {
    if (command->empty() || command->front().find('/') != std::string::npos) continue;
    const std::string found = findInPath(command->front());
    if (!found.empty()) command->front() = found;
  }
  std::vector<char*> argv = argvOf(args);
  std::vector<char*> fallbackArgv = argvOf(fallback);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return -1;
  const int devNull = mode == Mode::Detached ? ::open("/dev/null", O_RDONLY | O_CLOEXEC) : -1;

  const pid_t child = ::fork();
  if (child == 0) {
    ::close(report[0]);
    if (mode == Mode::Detached) {
      // A second fork: the grandchild, adopted by init, never stays a zombie of ours.
      ::setsid();
      const pid_t grandchild = ::fork();
      if (grandchild < 0) failChild(report[1]);
      if (grandchild > 0) ::_exit(0);
      if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
    }
    restoreSignals();
    if (::chdir(folder.c_str()) != 0) failChild(report[1]);
    ::execv(argv[0], argv.data());
    if (fallbackArgv.size() > 1) ::execv(fallbackArgv[0], fallbackArgv.data());
    failChild(report[1]);
  }

  ::close(report[1]);
  if (devNull >= 0) ::close(devNull);
  int result = -1;
  if (child > 0) {
    const bool started = execReported(report[0]);
    const int number = errno;
    const int code = waitFor(child);
    if (started) result = mode == Mode::Detached ? 0 : code;
    errno = number;
  }
  ::close(report[0]);
  return result;
}

// The first terminal emulator installed, with its path; none without a display.
std::optional<std::pair<std::string, const Terminal*>> findTerminal() {
  if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) return std::nullopt;
  for (const Terminal& terminal : kTerminals) {
    std::string found = findInPath(terminal.program);
    if (!found.empty()) return std::make_pair(std::move(found), &terminal);
  }
  return std::nullopt;
}

}  // namespace

bool terminalAvailable() {
  return findTerminal().has_value();
}

bool startConversion(const ConverterRun& run) {
  if (run.command.empty()) return false;
  std::vector<std::string> args;
  if (const auto terminal = findTerminal()) {
    const std::string self = ownPath();
    args = {terminal->first, terminal->second->runOption};
    if (!self.empty()) args.insert(args.end(), {self, kHoldOption});
    args.insert(args.end(), run.command.begin(), run.command.end());
  }
  if (args.empty()) return spawn(run.command, {}, runFolder(run), Mode::Detached) == 0;
  return spawn(args, run.command, runFolder(run), Mode::Detached) == 0;
}

int runConversion(const ConverterRun& run) {
  return spawn(run.command, {}, runFolder(run), Mode::Waited);
}

int runAndHold(const std::vector<std::string>& command) {
  const int code = spawn(command, {}, ".", Mode::Waited);
  if (code < 0) {
    const int number = errno;
    std::fprintf(stderr, "Не удалось запустить %s (%s)\n",
                 command.empty() ? "" : command.front().c_str(), std::strerror(number));
  }
  if (::isatty(STDIN_FILENO)) {
    std::fputs(kPrompt, stdout);
    std::fflush(stdout);
    for (int c = std::getchar(); c != EOF && c != '\n';) c = std::getchar();
  }
  return code < 0 ? 1 : code;
}

}  // namespace visual
