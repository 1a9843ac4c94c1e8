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
// A map's output up to this size never touches the disk on its way to a pipe; beyond it the
// memory would count against the bound on the run's peak.
constexpr std::size_t kHeldInMemory = std::size_t{4} << 20;

}  // namespace

FILE* OutputFile::stream() {
  if (holding_ && spool_ == nullptr) spill();
  return spool_ != nullptr ? spool_ : stream_;
}

void OutputFile::beginMap() {
  if (stream_ == nullptr) return;
  if ((!temporary_.empty() || cutBackable(stream_)) && std::fflush(stream_) == 0 &&
      seekable(stream_, mapStart_))
    return;
  mapStart_ = -1;
  // Nothing that is thrown away can show; everything else is held back.
  if (discardsEverything(stream_)) return;
  holding_ = true;
  held_.clear();
}

void OutputFile::spill() {
  spool_ = createSpool();
  if (spool_ != nullptr) {
    if (!spoolBuffer_) spoolBuffer_ = std::make_unique<char[]>(kSpoolBufferSize);
    std::setvbuf(spool_, spoolBuffer_.get(), _IOFBF, kSpoolBufferSize);
  } else {
    // Without room for the map it is written directly, as it always was.
    holding_ = false;
  }
  FILE* to = spool_ != nullptr ? spool_ : stream_;
  if (!held_.empty() && !writeDirectly(to, held_.data(), held_.size())) writeFailed_ = true;
  // Given back, so that memory does not hold it beside the next pieces.
  std::string().swap(held_);
}

void OutputFile::endMap() {
  mapStart_ = -1;
  if (!holding_) return;
  holding_ = false;
  if (spool_ == nullptr) {
    if (!held_.empty() && !writeDirectly(stream_, held_.data(), held_.size())) writeFailed_ = true;
    held_.clear();
    return;
  }
  if (!(std::fflush(spool_) == 0 && !std::ferror(spool_) && copySpool(spool_, stream_)))
    writeFailed_ = true;
  std::fclose(spool_);
  spool_ = nullptr;
}

bool OutputFile::copyInBlocks(FILE* spool, FILE* stream) {
  std::rewind(spool);
  std::unique_ptr<char[]> block = std::make_unique<char[]>(kSpoolBufferSize);
  for (;;) {
    const std::size_t n = std::fread(block.get(), 1, kSpoolBufferSize, spool);
    if (n == 0) return !std::ferror(spool);
    if (std::fwrite(block.get(), 1, n, stream) != n) return false;
  }
}

void OutputFile::discardMap() {
  if (holding_) {
    holding_ = false;
    held_.clear();
    if (spool_ != nullptr) std::fclose(spool_);
    spool_ = nullptr;
  } else if (mapStart_ >= 0) {
    if (!(std::fflush(stream_) == 0 && truncateTo(stream_, mapStart_))) writeFailed_ = true;
  }
  mapStart_ = -1;
}

bool OutputFile::writeBlock(const char* data, std::size_t size) {
  if (holding_ && spool_ == nullptr && held_.size() + size <= kHeldInMemory) {
    held_.append(data, size);
    return !writeFailed_;
  }
  if (!writeDirectly(stream(), data, size)) writeFailed_ = true;
  return !writeFailed_;
}

bool OutputFile::flushForCommit() {
  if (holding_) endMap();
  const bool ok = std::fflush(stream_) == 0 && !writeFailed_;
  return !std::ferror(stream_) && ok;
}

bool OutputFile::failed() const {
  return writeFailed_ || (spool_ != nullptr && std::ferror(spool_)) ||
         (stream_ != nullptr && std::ferror(stream_));
}

}  // namespace zarvex
