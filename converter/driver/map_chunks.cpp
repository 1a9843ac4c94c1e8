#include "converter/driver/map_chunks.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "converter/tokenizer/errors.h"

namespace zarvex {

namespace {

// Read in small steps, so that little is left over beyond a cut to be copied into the next piece.
constexpr std::size_t kReadSize = std::size_t{64} << 10;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// "end" in any case: a closing line, which belongs to the section before it.
bool closesSection(const std::string& bytes, std::size_t at) {
  static constexpr char kEnd[] = "end";
  for (std::size_t i = 0; i < 3; ++i) {
    if (at + i >= bytes.size()) return false;
    const char c = bytes[at + i];
    if (c != kEnd[i] && c != kEnd[i] - 'a' + 'A') return false;
  }
  return true;
}

// The start of the line that ends just before `lineStart`, or npos at the first line. Lines end
// at LF, CR LF or CR, as the tokenizer counts them.
std::size_t previousLine(const std::string& bytes, std::size_t lineStart) {
  if (lineStart == 0) return std::string::npos;
  std::size_t p = lineStart - 1;
  if (bytes[p] == '\n' && p > 0 && bytes[p - 1] == '\r') --p;
  while (p > 0 && bytes[p - 1] != '\n' && bytes[p - 1] != '\r') --p;
  return p;
}

}  // namespace

MapChunks::MapChunks(FILE* input, std::size_t chunkBytes)
    : input_(input), chunkBytes_(std::max<std::size_t>(chunkBytes, 1)) {}

void MapChunks::readMore() {
  const std::size_t old = pending_.size();
  pending_.resize(old + kReadSize);
  const std::size_t n = std::fread(pending_.data() + old, 1, kReadSize, input_);
  pending_.resize(old + n);
  if (n < kReadSize) {
    atEof_ = true;
    if (std::ferror(input_)) readErrno_ = errno != 0 ? errno : EIO;
  }
}

std::size_t MapChunks::findOpening(std::size_t from) const {
  const std::string& b = pending_;
  for (std::size_t p = from; p + 1 < b.size(); ++p) {
    if ((b[p] != '\n' && b[p] != '\r') || b[p + 1] != '[') continue;
    if (p + 4 >= b.size()) return std::string::npos;
    if (!closesSection(b, p + 2)) return p + 1;
  }
  return std::string::npos;
}

std::size_t MapChunks::findCut(std::size_t from) const {
  const std::string& b = pending_;
  for (std::size_t opening = findOpening(from); opening != std::string::npos;
       opening = findOpening(opening)) {
    // Comment lines before it belong to its object; blank lines between them are passed over.
    std::size_t cut = opening;
    for (std::size_t line = previousLine(b, cut); line != std::string::npos;
         line = previousLine(b, line)) {
      std::size_t q = line;
      while (isBlank(b[q])) ++q;
      if (b[q] == ';') {
        cut = line;
      } else if (b[q] != '\n' && b[q] != '\r') {
        break;
      }
    }
    if (cut > 0) return cut;
  }
  return std::string::npos;
}

void MapChunks::recycle(std::string piece) {
  // As many as are in flight at most; one more would only hold memory.
  constexpr std::size_t kMaxSpare = 16;
  if (spare_.size() < kMaxSpare && piece.capacity() <= 2 * (chunkBytes_ + kReadSize))
    spare_.push_back(std::move(piece));
}

std::string MapChunks::takeSpare() {
  if (spare_.empty()) return {};
  std::string piece = std::move(spare_.back());
  spare_.pop_back();
  return piece;
}

std::optional<std::string> MapChunks::next() {
  if (finished_) {
    if (readErrno_ != 0) throw IOException(std::strerror(readErrno_));
    return std::nullopt;
  }
  std::size_t from = 0;
  for (;;) {
    while (!atEof_ && pending_.size() <= chunkBytes_ + 4) readMore();
    if (first_) {
      // Not before the header's opening line, nor before the first section after it, whose
      // object counts its line from where the header closed.
      const std::size_t opening = !pending_.empty() && pending_[0] == '[' ? 0 : findOpening(0);
      const std::size_t section = opening == std::string::npos ? opening : findOpening(opening + 1);
      if (section == std::string::npos && !atEof_) {
        readMore();
        continue;
      }
      from = std::max(from, section == std::string::npos ? pending_.size() : section + 1);
    }
    from = std::max(from, chunkBytes_ - 1);
    const std::size_t cut = findCut(from);
    if (cut != std::string::npos) {
      // The piece leaves in the bytes as read; only what follows the cut is copied.
      std::string rest = takeSpare();
      rest.assign(pending_, cut, std::string::npos);
      pending_.resize(cut);
      first_ = false;
      return std::exchange(pending_, std::move(rest));
    }
    if (atEof_) break;
    // The search goes on from the last line seen, which may not have been whole.
    from = pending_.size() > 5 ? pending_.size() - 5 : 0;
    readMore();
  }
  finished_ = true;
  first_ = false;
  return std::exchange(pending_, std::string());
}

bool ChunkChain::nextBlock(const unsigned char*& begin, const unsigned char*& end) {
  if (!queued_.empty()) {
    current_ = std::move(queued_.front());
    queued_.pop_front();
  } else {
    std::optional<std::string> piece = chunks_.next();
    if (!piece) return false;
    current_ = std::move(*piece);
  }
  begin = reinterpret_cast<const unsigned char*>(current_.data());
  end = begin + current_.size();
  return true;
}

}  // namespace zarvex
