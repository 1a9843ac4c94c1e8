#include <cstdint>
#include <random>

#include "converter/driver/output_file.h"

namespace zarvex {

std::string OutputFile::temporarySuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (std::uint64_t bits = generator(); suffix.size() < 6; bits /= 36)
    suffix += kDigits[bits % 36];
  return suffix;
}

OutputFile::~OutputFile() {
  discard();
}

namespace {

constexpr std::size_t kSpoolBufferSize = std::size_t{1} << 20;

}  // namespace

void OutputFile::beginMap() {
  if (stream_ == nullptr) return;
  if ((!temporary_.empty() || cutBackable(stream_)) && std::fflush(stream_) == 0 &&
      seekable(stream_, mapStart_))
    return;
  mapStart_ = -1;
  // Nothing that is thrown away can show; everything else is held back. Without room for that
  // the map is written directly, as it always was.
  if (discardsEverything(stream_)) return;
  spool_ = createSpool();
  if (spool_ == nullptr) return;
  if (!spoolBuffer_) spoolBuffer_ = std::make_unique<char[]>(kSpoolBufferSize);
  std::setvbuf(spool_, spoolBuffer_.get(), _IOFBF, kSpoolBufferSize);
}

void OutputFile::endMap() {
  mapStart_ = -1;
  if (spool_ == nullptr) return;
  bool ok = std::fflush(spool_) == 0 && !std::ferror(spool_);
  std::rewind(spool_);
  std::unique_ptr<char[]> block = std::make_unique<char[]>(kSpoolBufferSize);
  while (ok) {
    const std::size_t n = std::fread(block.get(), 1, kSpoolBufferSize, spool_);
    if (n == 0) {
      ok = !std::ferror(spool_);
      break;
    }
    ok = std::fwrite(block.get(), 1, n, stream_) == n;
  }
  if (!ok) writeFailed_ = true;
  std::fclose(spool_);
  spool_ = nullptr;
}

void OutputFile::discardMap() {
  if (spool_ != nullptr) {
    std::fclose(spool_);
    spool_ = nullptr;
  } else if (mapStart_ >= 0) {
    if (!(std::fflush(stream_) == 0 && truncateTo(stream_, mapStart_))) writeFailed_ = true;
  }
  mapStart_ = -1;
}

bool OutputFile::writeBlock(const char* data, std::size_t size) {
  if (!writeDirectly(stream(), data, size)) writeFailed_ = true;
  return !writeFailed_;
}

bool OutputFile::failed() const {
  return writeFailed_ || (spool_ != nullptr && std::ferror(spool_)) ||
         (stream_ != nullptr && std::ferror(stream_));
}

}  // namespace zarvex
