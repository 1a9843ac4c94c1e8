#include "gui/io/shell.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/io/file_system.h"

namespace visual {
namespace {

// The batch file is run by sh; its "pause" line is the only command sh lacks, so it is provided,
// waiting for Enter only where someone can press it.
constexpr const char* kRunScript =
    "pause() { if [ -t 0 ]; then printf '%s' 'Для продолжения нажмите Enter . . . '; read _; fi; "
    "}; . \"$1\"";

struct Terminal {
  const char* program;
  const char* runOption;  // the option after which the command and its arguments follow
};

constexpr Terminal kTerminals[] = {
    {"x-terminal-emulator", "-e"}, {"xterm", "-e"},          {"konsole", "-e"},
    {"gnome-terminal", "--"},      {"xfce4-terminal", "-x"},
};

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

}  // namespace

bool openBatchFile(const std::string& path) {
  if (!fileExists(path)) return false;
  const std::string file = absolutePath(path);
  const std::string folder = folderOf(file);

  std::vector<std::string> shellArgs = {"/bin/sh", "-c", kRunScript, "sh", file};
  std::vector<std::string> terminalArgs;
  if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) {
    for (const Terminal& terminal : kTerminals) {
      const std::string found = findInPath(terminal.program);
      if (found.empty()) continue;
      terminalArgs = {found, terminal.runOption};
      terminalArgs.insert(terminalArgs.end(), shellArgs.begin(), shellArgs.end());
      break;
    }
  }
  std::vector<char*> shellArgv = argvOf(shellArgs);
  std::vector<char*> terminalArgv = argvOf(terminalArgs);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

  const pid_t child = ::fork();
  if (child == 0) {
    ::close(report[0]);
    // A new session and a second fork: the batch outlives the window program, and the
    // grandchild, adopted by init, never stays a zombie of ours.
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild < 0) failChild(report[1]);
    if (grandchild > 0) ::_exit(0);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction deflt {};
    deflt.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &deflt, nullptr);
    ::sigaction(SIGCHLD, &deflt, nullptr);
    if (::chdir(folder.c_str()) != 0) failChild(report[1]);
    // The window program's own input (perhaps the terminal it was started from) is not the
    // batch's to read.
    if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
    if (terminalArgv.size() > 1) ::execv(terminalArgv[0], terminalArgv.data());
    ::execv(shellArgv[0], shellArgv.data());
    failChild(report[1]);
  }

  ::close(report[1]);
  if (devNull >= 0) ::close(devNull);
  bool started = child > 0;
  if (started) {
    // The pipe closes without a word when exec succeeded; a failing child sends its errno.
    int number = 0;
    ssize_t n;
    do {
      n = ::read(report[0], &number, sizeof number);
    } while (n < 0 && errno == EINTR);
    started = n == 0;
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  ::close(report[0]);
  return started;
}

}  // namespace visual
