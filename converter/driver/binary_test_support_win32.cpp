#include <windows.h>

#include <random>

#include "converter/driver/binary_test_support_win32.h"

namespace zarvextest {

namespace {

// One argument quoted so that the runtime's command-line parser gives it back unchanged.
std::wstring quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes double only before a quote, which is escaped itself.
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

std::wstring wide(const std::string& bytes) {
  const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), size);
  return out;
}

HANDLE openInherited(const fs::path& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

RunResult runZarvex(const std::vector<std::string>& args, const fs::path& workDir,
                    const fs::path& scratch, std::optional<fs::path> stdoutPath) {
  std::vector<std::wstring> wideArgs;
  for (const std::string& arg : args) wideArgs.push_back(wide(arg));
  return runZarvexWide(wideArgs, workDir, scratch, stdoutPath);
}

RunResult runZarvexWide(const std::vector<std::wstring>& args, const fs::path& workDir,
                        const fs::path& scratch, std::optional<fs::path> stdoutPath) {
  const fs::path outPath = stdoutPath.value_or(scratch / "stdout");
  const fs::path errPath = scratch / "stderr";
  std::wstring commandLine = L"zarvex";
  for (const std::wstring& arg : args) commandLine += L" " + quoted(arg);

  RunResult result;
  const HANDLE in = openInherited(L"NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE out = openInherited(outPath, GENERIC_WRITE, stdoutPath ? OPEN_ALWAYS : CREATE_ALWAYS);
  const HANDLE err = openInherited(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  // Absolute before the child's folder is given, as the test's own folder may differ from it.
  const fs::path binary = fs::absolute(ZARVEX_BINARY);
  const bool started = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
                       err != INVALID_HANDLE_VALUE &&
                       CreateProcessW(binary.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      0, nullptr, workDir.c_str(), &startup, &process) != 0;
  for (const HANDLE handle : {in, out, err})
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  if (!started) return result;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process.hProcess, &code) != 0) result.exitCode = static_cast<int>(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!stdoutPath) result.out = fromPlatformText(readFile(outPath).value_or(""));
  result.err = fromPlatformText(readFile(errPath).value_or(""));
  return result;
}

std::string fromPlatformText(const std::string& written) {
  std::string text;
  text.reserve(written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\r' && i + 1 < written.size() && written[i + 1] == '\n') continue;
    if (written[i] == '\n' && (i == 0 || written[i - 1] != '\r')) return written;
    text += written[i];
  }
  return text;
}

std::optional<std::string> fullDevice() { return std::nullopt; }

ScratchDir::ScratchDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("zarvex-test-" + std::to_string(random() % 1000000000));
    std::error_code error;
    if (fs::create_directory(candidate, error)) path_ = candidate;
  }
}

}  // namespace zarvextest
