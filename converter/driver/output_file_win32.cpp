#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "converter/driver/output_file.h"

namespace zarvex {

namespace {

// The writer hands over one object per fwrite; a large buffer turns that into few system calls.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// The temporary file that Ctrl-C or closing the console removes; set only while it exists.
std::atomic<const char*> pendingTemporary{nullptr};

// Runs on a thread of its own while the main thread may still write: the file was opened with
// delete sharing, so it is marked for deletion now and goes when the process ends its handles.
BOOL WINAPI removeTemporaryAndStop(DWORD) {
  const char* path = pendingTemporary.exchange(nullptr);
  if (path != nullptr) DeleteFileA(path);
  return FALSE;  // the default handler ends the process as it would have
}

void installCleanupHandler() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  SetConsoleCtrlHandler(removeTemporaryAndStop, TRUE);
}

// Creates a file that no one else has, beside `destination`; its name goes to `temporary`.
HANDLE createTemporary(const std::string& destination, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = destination + ".zarvex-" + OutputFile::temporarySuffix();
    HANDLE handle =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  return INVALID_HANDLE_VALUE;
}

// A disk file (or none yet) is replaced; consoles, NUL, pipes and ports are written directly.
bool isDiskFile(const std::string& path) {
  HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
  CloseHandle(handle);
  return disk;
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::standardOutput() {
  std::unique_ptr<OutputFile> output(new OutputFile);
  output->stream_ = stdout;
  return output;
}

std::unique_ptr<OutputFile> OutputFile::open(const std::string& path) {
  std::unique_ptr<OutputFile> output(new OutputFile);
  output->buffer_ = std::make_unique<char[]>(kBufferSize);

  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return nullptr;
  // Replacing the file must not get round its protection.
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return nullptr;
  // Device names such as NUL, consoles and pipes are written directly; a disk file, or none yet,
  // is replaced.
  const bool direct =
      exists ? !isDiskFile(path) : GetLastError() != ERROR_FILE_NOT_FOUND && !isDiskFile(path);
  if (direct) {
    output->stream_ = std::fopen(path.c_str(), "w");
    if (output->stream_ == nullptr) return nullptr;
    output->ownsStream_ = true;
  } else {
    installCleanupHandler();
    output->destination_ = path;
    HANDLE handle = createTemporary(path, output->temporary_);
    if (handle == INVALID_HANDLE_VALUE) {
      output->temporary_.clear();
      return nullptr;
    }
    pendingTemporary.store(output->temporary_.c_str());
    // Text mode, as the console streams: line ends become CR LF.
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_TEXT);
    if (descriptor == -1) {
      CloseHandle(handle);
      return nullptr;
    }
    output->stream_ = _fdopen(descriptor, "w");
    if (output->stream_ == nullptr) {
      _close(descriptor);
      return nullptr;
    }
    output->ownsStream_ = true;
  }
  std::setvbuf(output->stream_, output->buffer_.get(), _IOFBF, kBufferSize);
  return output;
}

bool OutputFile::commit() {
  if (stream_ == nullptr) return false;
  bool ok = flushForCommit();
  // On the disk before it takes the old map's name, so that a crash cannot leave an empty map.
  if (ok && !temporary_.empty()) {
    ok = FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream_)))) != 0;
  }
  if (ownsStream_) ok = std::fclose(stream_) == 0 && ok;
  stream_ = nullptr;
  if (temporary_.empty()) return ok;
  // Ctrl-C from here on leaves either the old map or the new one, never neither.
  pendingTemporary.store(nullptr);
  if (ok) {
    ok = MoveFileExA(temporary_.c_str(), destination_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileA(temporary_.c_str());
  temporary_.clear();
  return ok;
}

void OutputFile::discard() {
  holding_ = false;
  if (spool_ != nullptr) std::fclose(spool_);
  spool_ = nullptr;
  if (stream_ != nullptr && ownsStream_) std::fclose(stream_);
  stream_ = nullptr;
  if (temporary_.empty()) return;
  pendingTemporary.store(nullptr);
  DeleteFileA(temporary_.c_str());
  temporary_.clear();
}

bool OutputFile::seekable(FILE* stream, int64_t& position) {
  position = _ftelli64(stream);
  return position >= 0;
}

bool OutputFile::truncateTo(FILE* stream, int64_t position) {
  return _chsize_s(_fileno(stream), position) == 0 && _fseeki64(stream, position, SEEK_SET) == 0;
}

bool OutputFile::discardsEverything(FILE*) {
  return false;
}

// Through the stream, which turns line ends into CR LF.
bool OutputFile::writeDirectly(FILE* stream, const char* data, std::size_t size) {
  return std::fwrite(data, 1, size, stream) == size;
}

bool OutputFile::copySpool(FILE* spool, FILE* stream) {
  return copyInBlocks(spool, stream);
}

// In the user's temporary folder: the C library's tmpfile() puts its file in the root of the
// drive, where a user may not create files.
FILE* OutputFile::createSpool() {
  char folder[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return nullptr;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = std::string(folder) + "zarvex-" + temporarySuffix() + ".tmp";
    const int descriptor = _open(
        path.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY | _O_SHORT_LIVED,
        _S_IREAD | _S_IWRITE);
    if (descriptor != -1) {
      FILE* spool = _fdopen(descriptor, "w+b");
      if (spool == nullptr) _close(descriptor);
      return spool;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool OutputFile::cutBackable(FILE*) {
  return false;
}

}  // namespace zarvex
