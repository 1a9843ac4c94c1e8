#include "gui/io/line_reader.h"

#include <cerrno>
#include <cstring>

#include "gui/io/file_error.h"

namespace visual {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::size_t shifted(std::size_t position, std::size_t by) {
  if (position == kNone) return kNone;
  return position > by ? position - by : 0;
}

}  // namespace

LineReader::~LineReader() {
  if (file_) std::fclose(file_);
}

bool LineReader::open(const std::string& path) {
  path_ = path;
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) {
    error_ = fileError(FileAction::Read, path_, errno);
    return false;
  }
  buffer_.resize(block_);
  read_ = 0;
  begin_ = end_ = 0;
  cr_ = lf_ = kNone;
  crScanned_ = lfScanned_ = 0;
  return true;
}

// Moves the unread rest to the front and appends the next block; the buffer grows only for a
// line longer than it.
bool LineReader::fill() {
  if (eof_ || !file_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    cr_ = shifted(cr_, begin_);
    lf_ = shifted(lf_, begin_);
    crScanned_ = shifted(crScanned_, begin_);
    lfScanned_ = shifted(lfScanned_, begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (buffer_.size() - end_ < block_ / 2) buffer_.resize(buffer_.size() * 2);
  const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  if (got == 0) {
    if (std::ferror(file_)) error_ = fileError(FileAction::Read, path_, errno);
    eof_ = true;
    return false;
  }
  read_ += got;
  if (read_ > limit_) {
    error_ = fileError(FileAction::Read, path_, EFBIG);
    return false;
  }
  end_ += got;
  return true;
}

std::size_t LineReader::nextOf(char c, std::size_t& hit, std::size_t& scanned) {
  if (hit != kNone && hit >= begin_) return hit;
  const std::size_t from = scanned > begin_ ? scanned : begin_;
  const void* found = from < end_ ? std::memchr(buffer_.data() + from, c, end_ - from) : nullptr;
  if (found) {
    hit = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
    scanned = hit + 1;
  } else {
    hit = kNone;
    scanned = end_;
  }
  return hit;
}

bool LineReader::next(std::string_view& line) {
  if (!file_ || !error_.empty()) return false;
  for (;;) {
    const std::size_t cr = nextOf('\r', cr_, crScanned_);
    const std::size_t lf = nextOf('\n', lf_, lfScanned_);
    const std::size_t stop = cr < lf ? cr : lf;
    if (stop != kNone) {
      // A CR as the last byte read may be the first half of a CR LF still in the file.
      if (stop == cr && stop + 1 == end_ && !eof_) {
        if (!fill() && !error_.empty()) return false;
        continue;
      }
      line = std::string_view(buffer_.data() + begin_, stop - begin_);
      std::size_t after = stop + 1;
      if (stop == cr && after < end_ && buffer_[after] == '\n') ++after;
      begin_ = after;
      return true;
    }
    if (!fill()) {
      if (!error_.empty() || begin_ == end_) return false;
      line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
  }
}

}  // namespace visual
