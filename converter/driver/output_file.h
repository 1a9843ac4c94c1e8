#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zarvex {

/// Where the converted map goes. A regular file, or one that does not exist yet, is written to a
/// temporary file in its folder and renamed over it by commit(), so that the previous map is
/// replaced whole or not at all: a failed write, an exception or SIGINT, SIGTERM or SIGHUP
/// leave it as it was and remove the temporary file. Standard output, devices and FIFOs are
/// written directly.
///
/// Each map goes between beginMap() and endMap() or discardMap(), so that a map found faulty
/// half-way leaves nothing in the output: a temporary file is cut back to where the map began;
/// so is standard output when it is a regular file of its own; what is written directly is held
/// in memory, and beyond a few megabytes in an unnamed temporary file, until the map is
/// complete.
class OutputFile {
 public:
  /// Standard output, as it is.
  static std::unique_ptr<OutputFile> standardOutput();
  /// Opens the output `path`; none when it cannot be written.
  static std::unique_ptr<OutputFile> open(const std::string& path);

  /// Six letters or digits that make a temporary file's name unlikely to be taken already.
  static std::string temporarySuffix();

  /// Discards what was written unless commit() came first.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  /// Where writes go now: the output, or the held back map between beginMap() and its end,
  /// which then moves from memory to the unnamed file.
  FILE* stream();
  /// Marks the start of a map whose output discardMap() may take back.
  void beginMap();
  /// Keeps what was written since beginMap().
  void endMap();
  /// Takes back what was written since beginMap().
  void discardMap();
  /// Writes a large block to stream(), past the stream's buffer; false when it fails.
  bool writeBlock(const char* data, std::size_t size);
  /// True once any write has failed; commit() then fails too.
  bool failed() const;
  /// Flushes and closes the output (standard output stays open), putting a temporary file in
  /// place of the output. False when any write failed; the previous output then stays.
  bool commit();
  /// Closes the output and removes the temporary file, so that the previous output stays.
  void discard();

 private:
  OutputFile() = default;

  // Platform parts of the map marks.
  static bool seekable(FILE* stream, int64_t& position);
  static bool truncateTo(FILE* stream, int64_t position);
  static bool discardsEverything(FILE* stream);
  // A regular file that only the map goes to, written at its end, which can be cut back like a
  // temporary file.
  static bool cutBackable(FILE* stream);
  // An unnamed file, removed when closed; none when it cannot be made.
  static FILE* createSpool();
  bool writeDirectly(FILE* stream, const char* data, std::size_t size);
  // Copies the whole of `spool` to the end of `stream`.
  static bool copySpool(FILE* spool, FILE* stream);
  static bool copyInBlocks(FILE* spool, FILE* stream);
  // The map held in memory goes to an unnamed file, or straight to the output when there is no
  // room for one.
  void spill();
  // The part of commit() before the system's own sync and rename.
  bool flushForCommit();

  FILE* stream_ = nullptr;
  /// The file that a temporary file replaces, or empty when the output is written directly.
  std::string destination_;
  std::string temporary_;
  bool ownsStream_ = false;
  std::unique_ptr<char[]> buffer_;
  /// Where the current map began in a temporary file, or -1.
  int64_t mapStart_ = -1;
  /// The current map is held back from an output written directly: in `held_` until it
  /// outgrows it, then in `spool_`.
  bool holding_ = false;
  std::string held_;
  FILE* spool_ = nullptr;
  std::unique_ptr<char[]> spoolBuffer_;
  bool writeFailed_ = false;
  /// How much of a temporary file the system has been asked to start writing to the disk.
  int64_t writtenBack_ = 0;
};

}  // namespace zarvex
