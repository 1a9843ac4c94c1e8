#include <fcntl.h>
#include <signal.h>
#ifdef __linux__
#include <sys/sendfile.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "converter/driver/output_file.h"

namespace zarvex {

namespace {

// The writer hands over one object per fwrite; a large buffer turns that into few system calls.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// Small enough that the disk is kept busy, large enough to cost few system calls.
[[maybe_unused]] constexpr off_t kWriteBackStep = off_t{8} << 20;

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file that a signal removes; set only while it exists under that name.
std::atomic<const char*> pendingTemporary{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free, "read from a signal handler");

extern "C" void removeTemporaryAndStop(int signal) {
  const char* path = pendingTemporary.exchange(nullptr);
  if (path != nullptr) unlink(path);
  // The process ends by the signal it was sent, as it would have without this handler, so that
  // a shell or a script running the converter sees an interrupted run and stops too.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signal);
  _exit(1);
}

void installCleanupHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const int signal : kCleanupSignals) {
    struct sigaction previous {};
    // A signal ignored at start (nohup, a background job) stays ignored.
    if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = removeTemporaryAndStop;
    sigemptyset(&action.sa_mask);
    for (const int other : kCleanupSignals) sigaddset(&action.sa_mask, other);
    sigaction(signal, &action, nullptr);
  }
}

// Keeps the cleanup signals out while the temporary file changes hands.
class CleanupSignalsBlocked {
 public:
  CleanupSignalsBlocked() {
    sigset_t block;
    sigemptyset(&block);
    for (const int signal : kCleanupSignals) sigaddset(&block, signal);
    sigprocmask(SIG_BLOCK, &block, &previous_);
  }
  ~CleanupSignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
  CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

// A file size limit then fails the write, which is reported, instead of killing the process.
void ignoreFileSizeSignal() {
  signal(SIGXFSZ, SIG_IGN);
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Creates a file that no one else has, beside `destination`; its name goes to `temporary`.
int createTemporary(const std::string& destination, mode_t mode, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = destination + ".zarvex-" + OutputFile::temporarySuffix();
    int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor == -1 && errno == ENAMETOOLONG) {
      // The output's own name left no room for a suffix.
      temporary = folderOf(destination) + "zarvex-" + OutputFile::temporarySuffix() + ".tmp";
      descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    }
    if (descriptor != -1 || errno != EEXIST) return descriptor;
  }
  return -1;
}

// What a symbolic link named as the output leads to, so that the link itself stays.
std::string linkTarget(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::standardOutput() {
  ignoreFileSizeSignal();
  std::unique_ptr<OutputFile> output(new OutputFile);
  output->stream_ = stdout;
  return output;
}

std::unique_ptr<OutputFile> OutputFile::open(const std::string& path) {
  ignoreFileSizeSignal();
  std::unique_ptr<OutputFile> output(new OutputFile);
  output->buffer_ = std::make_unique<char[]>(kBufferSize);

  struct stat existing {};
  const bool exists = stat(path.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return nullptr;
  struct stat link {};
  const bool dangling = !exists && lstat(path.c_str(), &link) == 0;
  if ((exists && !S_ISREG(existing.st_mode)) || dangling) {
    // Devices and FIFOs cannot be replaced, and a dangling link creates its target as before.
    output->stream_ = std::fopen(path.c_str(), "w");
    if (output->stream_ == nullptr) return nullptr;
    output->ownsStream_ = true;
  } else {
    if (exists) {
      // Replacing the file must not get round its protection: it has to be writable as it is.
      const int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
      if (probe == -1) return nullptr;
      close(probe);
    }
    installCleanupHandlers();
    output->destination_ = exists ? linkTarget(path) : path;
    int descriptor = -1;
    {
      const CleanupSignalsBlocked blocked;
      // A new file gets what the umask leaves of 0666; an existing one keeps its mode below.
      descriptor = createTemporary(output->destination_, exists ? 0600 : 0666, output->temporary_);
      if (descriptor == -1) {
        output->temporary_.clear();
        return nullptr;
      }
      pendingTemporary.store(output->temporary_.c_str());
    }
    if (exists) {
      // Owner first: changing it may clear the mode's set-id bits. Only root can give a file
      // away, so failing that is no error.
      [[maybe_unused]] const int owned = fchown(descriptor, existing.st_uid, existing.st_gid);
      [[maybe_unused]] const int moded = fchmod(descriptor, existing.st_mode & 07777);
    }
    output->stream_ = fdopen(descriptor, "w");
    if (output->stream_ == nullptr) {
      close(descriptor);
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
  if (ok && !temporary_.empty()) ok = fsync(fileno(stream_)) == 0 || errno == EINVAL;
  if (ownsStream_) ok = std::fclose(stream_) == 0 && ok;
  stream_ = nullptr;
  if (temporary_.empty()) return ok;
  const CleanupSignalsBlocked blocked;
  if (ok) ok = std::rename(temporary_.c_str(), destination_.c_str()) == 0;
  if (!ok) unlink(temporary_.c_str());
  pendingTemporary.store(nullptr);
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
  const CleanupSignalsBlocked blocked;
  unlink(temporary_.c_str());
  pendingTemporary.store(nullptr);
  temporary_.clear();
}

bool OutputFile::seekable(FILE* stream, int64_t& position) {
  const off_t offset = ftello(stream);
  position = offset;
  return offset >= 0;
}

bool OutputFile::truncateTo(FILE* stream, int64_t position) {
  return ftruncate(fileno(stream), static_cast<off_t>(position)) == 0 &&
         fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool OutputFile::discardsEverything(FILE* stream) {
  struct stat output {};
  struct stat null {};
  return fstat(fileno(stream), &output) == 0 && S_ISCHR(output.st_mode) &&
         stat("/dev/null", &null) == 0 && output.st_rdev == null.st_rdev;
}

// The stream's buffer would copy the block once more on its way.
bool OutputFile::writeDirectly(FILE* stream, const char* data, std::size_t size) {
  if (std::fflush(stream) != 0) return false;
  const int descriptor = fileno(stream);
  while (size > 0) {
    const ssize_t n = ::write(descriptor, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
#ifdef SYNC_FILE_RANGE_WRITE
  // The disk starts on what has been written while the rest is being made, so that the sync
  // before the rename finds little left to do. Only a hint: the sync makes sure.
  if (stream == stream_ && !temporary_.empty()) {
    const off_t end = lseek(descriptor, 0, SEEK_CUR);
    if (end >= 0 && end < writtenBack_) writtenBack_ = end;
    if (end >= 0 && end - writtenBack_ >= kWriteBackStep) {
      sync_file_range(descriptor, writtenBack_, end - writtenBack_, SYNC_FILE_RANGE_WRITE);
      writtenBack_ = end;
    }
  }
#endif
  return true;
}

bool OutputFile::copySpool(FILE* spool, FILE* stream) {
#ifdef __linux__
  // The kernel copies from the file's cache to the output; nothing passes through this process.
  if (std::fflush(stream) == 0) {
    const int in = fileno(spool);
    const off_t size = lseek(in, 0, SEEK_END);
    off_t offset = 0;
    while (size >= 0 && offset < size) {
      const ssize_t n =
          sendfile(fileno(stream), in, &offset, static_cast<std::size_t>(size - offset));
      if (n > 0) continue;
      if (n < 0 && errno == EINTR) continue;
      // An output that the kernel cannot copy to takes the rest by blocks.
      if (n < 0 && (errno == EINVAL || errno == ENOSYS) && offset == 0) break;
      return false;
    }
    if (size >= 0 && offset == size) return true;
  }
#endif
  return copyInBlocks(spool, stream);
}

FILE* OutputFile::createSpool() {
  return std::tmpfile();
}

bool OutputFile::cutBackable(FILE* stream) {
  struct stat output {};
  struct stat messages {};
  if (std::fflush(stream) != 0 || fstat(fileno(stream), &output) != 0 || !S_ISREG(output.st_mode))
    return false;
  // Written over from the middle, the file's rest is the user's: it must not be cut away.
  if (ftello(stream) != output.st_size) return false;
  // Messages written into the same file while the map is read would be cut away with it.
  return fstat(STDERR_FILENO, &messages) != 0 ||
         !(messages.st_dev == output.st_dev && messages.st_ino == output.st_ino);
}

}  // namespace zarvex
