#pragma once

#include <cstddef>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

/// Cuts a map file into pieces of about `chunkBytes` that end where an object section, or the
/// comment lines before it, begins on a line of its own. A reader set on such a piece sees the
/// tokens that a reader of the whole file sees there, so pieces can be read side by side.
class MapChunks {
 public:
  MapChunks(FILE* input, std::size_t chunkBytes);

  /// The next piece, or none after the last. A read error is raised once the bytes read before
  /// it have all been handed out.
  std::optional<std::string> next();
  /// Gives a piece back, so that its room holds a later one.
  void recycle(std::string piece);
  /// True once the last piece has been handed out.
  bool exhausted() const { return finished_; }
  /// True when the last piece ended at the end of the file, not at a read error.
  bool endedCleanly() const { return finished_ && readErrno_ == 0; }

 private:
  void readMore();
  std::string takeSpare();
  // The next line from `from` on that opens a section ('[' first, not a closing line); npos if
  // not found in what has been read.
  std::size_t findOpening(std::size_t from) const;
  // Where the piece of the pending bytes may end, searching from `from`; npos if not found in
  // what has been read.
  std::size_t findCut(std::size_t from) const;

  FILE* input_;
  std::size_t chunkBytes_;
  std::string pending_;
  std::vector<std::string> spare_;
  bool atEof_ = false;
  bool finished_ = false;
  int readErrno_ = 0;
  // The file's first section opens the header, which must stay whole in the first piece.
  bool first_ = true;
};

/// The blocks of a map read on from a given piece: the pieces handed over first, then the rest
/// of `chunks`. Serves a reader that has to go on one token at a time from that piece.
class ChunkChain final : public BlockSource {
 public:
  explicit ChunkChain(MapChunks& chunks) : chunks_(chunks) {}
  void append(std::string bytes) { queued_.push_back(std::move(bytes)); }
  bool nextBlock(const unsigned char*& begin, const unsigned char*& end) override;

 private:
  MapChunks& chunks_;
  std::deque<std::string> queued_;
  std::string current_;
};

}  // namespace zarvex
