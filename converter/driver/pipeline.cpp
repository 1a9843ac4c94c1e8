#include "converter/driver/pipeline.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "converter/driver/batch_formatter.h"
#include "converter/driver/batch_writer.h"
#include "converter/driver/chunk_parser.h"
#include "converter/driver/map_chunks.h"
#include "converter/driver/worker_pool.h"
#include "converter/mpformat/map_reader.h"
#include "converter/mpformat/map_writer.h"
#include "converter/script/carried_attributes.h"
#include "converter/script/rule_messages.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

namespace {

constexpr std::size_t kHandOverBytes = std::size_t{1} << 20;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// Each piece of a map is read, ruled and formatted by one worker, so that its objects stay in
// one core's cache. Pieces take turns in file order only to hand on what the next one needs
// before it can rule: the line breaks before it, whether an earlier piece failed, and, when the
// rules carry values from object to object, the rules themselves.
class PieceTurns {
 public:
  struct Handover {
    // Line breaks before the piece, which its objects' lines count from.
    int32_t lineBase = 0;
    // An earlier piece could not be read or ruled: no later one is ruled.
    bool broken = false;
  };

  // Waits for the turn of piece `index`.
  Handover await(std::size_t index) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return next_ == index; });
    return handover_;
  }
  // Gives the turn to the next piece.
  void pass(Handover next) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ++next_;
      handover_ = next;
    }
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;
  Handover handover_;
};

// A piece as read, and the text of its ruled objects when it could be ruled.
struct PieceOutcome {
  ParsedChunk chunk;
  std::optional<FormattedBatch> batch;
  // Pieces ruled side by side: the first object left without a type, before which the piece's
  // text ends, and what the rules printed, to be printed in file order.
  std::optional<ObjectKind> unknownKind;
  std::string messages;
};

// The rules and the output of one map, fed in file order by either reader.
class MapRun {
 public:
  MapRun(const ObjectConfImpl& entry, OutputFile& output, const ConversionOptions& options)
      : entry_(entry),
        output_(output),
        options_(options),
        rulesInTurn_(mayCarryOver(entry.block)) {}

  // Reads on token by token from where `tokenizer` stands, `withHeader` at the map's start.
  void readInOnePass(Tokenizer& tokenizer, bool withHeader);
  // Reads pieces of the map on worker threads, which rule and format them too.
  void readInChunks(FILE* input);
  // After the whole map: what lenient reading did, and the object left without a type.
  void finish();

 private:
  // Runs the rules; false for an object not to be written, and for every object from the
  // first one without a type on, since the output must end before that one.
  bool rule(const MapObject& object, ObjectAttributes& attributes);
  [[noreturn]] void fail(const ParserException& error, const Tokenizer& tokenizer);
  // Reads piece `index`, rules it and formats what is to be written.
  PieceOutcome runPiece(std::string bytes, bool first, std::size_t index, PieceTurns& turns,
                        BatchWriter& writer);
  // Rules the objects of a piece whose turn it is into `records`; returns how many are to be
  // written.
  std::size_t ruleInTurn(std::deque<MapObject>& objects, int32_t lineBase,
                         std::vector<RuledObject>& records);
  // Rules and formats the objects of a piece apart from the others.
  void ruleApart(PieceOutcome& outcome, int32_t lineBase, FormattedBatch room);

  const ObjectConfImpl& entry_;
  OutputFile& output_;
  const ConversionOptions& options_;
  // The record that the rules run on in one pass; in pieces, what carries over between the
  // records of the batches. zip, www, road_class and speed_limit carry over between the objects
  // of one map, starting empty and 0.
  ObjectAttributes attributes_;
  LenientReport report_;
  // Set in the turn of the piece that meets it, or, for pieces ruled side by side, by this
  // thread as it takes their outcomes in file order.
  std::optional<ObjectKind> unknownKind_;
  // In pieces, the rules of one piece must follow those of the one before.
  const bool rulesInTurn_;
  // The output has failed; a full disk stays full, so reading stops.
  bool stopped_ = false;
};

bool MapRun::rule(const MapObject& object, ObjectAttributes& attributes) {
  if (unknownKind_) return false;
  try {
    return applyRules(entry_, object, attributes);
  } catch (const UnknownObjectType& e) {
    // Reported only once the map has been read whole: a faulty map is reported instead.
    unknownKind_ = e.kind;
    return false;
  }
}

void MapRun::fail(const ParserException& error, const Tokenizer& tokenizer) {
  // Taken back first: the token dump may go to the same file, after what came before the map.
  output_.discardMap();
  std::fprintf(stderr, "Error in file: '%s'\n", entry_.fileName.c_str());
  tokenizer.dumpToken(stdout);
  throw error;
}

void MapRun::readInOnePass(Tokenizer& tokenizer, bool withHeader) {
  MapReader reader(tokenizer, entry_.fileName, ReadOptions{.lenient = options_.lenient});
  // Formatted here and handed over in blocks, as the pieces are: a map held back from a pipe
  // then stays in memory while it is small.
  MapWriter writer;
  const auto handOver = [&] {
    const OutputBuffer& text = writer.text();
    if (!text.empty()) output_.writeBlock(text.data(), text.size());
    writer.clearText();
    stopped_ = stopped_ || output_.failed();
  };
  try {
    if (withHeader) reader.ReadHeader();
    tokenizer.returnComments = true;
    for (bool more = true; more && !stopped_;) {
      more = reader.ReadObject();
      for (const MapObject& object : reader.objects()) {
        if (!rule(object, attributes_)) continue;
        writer.WriteObject(object, nullptr, attributes_);
        if (writer.text().size() >= kHandOverBytes) handOver();
        if (stopped_) break;
      }
      reader.objects().clear();
    }
  } catch (const ParserException& e) {
    fail(e, tokenizer);
  }
  if (!stopped_) handOver();
  report_.merge(reader.lenientReport());
}

PieceOutcome MapRun::runPiece(std::string bytes, bool first, std::size_t index, PieceTurns& turns,
                              BatchWriter& writer) {
  PieceOutcome outcome;
  ParsedChunk& chunk = outcome.chunk;
  std::exception_ptr unreadable;
  try {
    chunk = parseChunk(std::move(bytes), first, entry_.fileName, options_.lenient);
  } catch (...) {
    unreadable = std::current_exception();
  }
  // The turn is passed on every way out, or the pieces after this one would wait for ever.
  const PieceTurns::Handover before = turns.await(index);
  const bool ruled = !before.broken && !unreadable && !chunk.error;
  const PieceTurns::Handover after{before.lineBase + chunk.lineCount, !ruled};
  // A batch already written lends its room: allocating megabytes of text afresh costs more than
  // formatting into them.
  FormattedBatch room = ruled ? writer.spare().value_or(FormattedBatch{}) : FormattedBatch{};
  if (!rulesInTurn_) {
    turns.pass(after);
    if (unreadable) std::rethrow_exception(unreadable);
    if (ruled) ruleApart(outcome, before.lineBase, std::move(room));
    return outcome;
  }
  std::size_t count = 0;
  try {
    if (ruled) count = ruleInTurn(chunk.objects, before.lineBase, room.records);
  } catch (...) {
    turns.pass({after.lineBase, true});
    throw;
  }
  turns.pass(after);
  if (unreadable) std::rethrow_exception(unreadable);
  if (!ruled) return outcome;
  outcome.batch = FormattedBatch{formatBatch(room.records, count, std::move(room.text)),
                                 std::move(room.records)};
  // Freed by the thread that allocated them.
  for (std::size_t i = 0; i < count; ++i) outcome.batch->records[i].object = MapObject();
  std::deque<MapObject>().swap(chunk.objects);
  return outcome;
}

std::size_t MapRun::ruleInTurn(std::deque<MapObject>& objects, int32_t lineBase,
                               std::vector<RuledObject>& records) {
  // The rules fill the records in place, so that no attributes are copied, moved or allocated
  // for an object.
  std::size_t count = 0;
  for (MapObject& object : objects) {
    object.locLine += static_cast<uint32_t>(lineBase);
    if (count == records.size()) records.emplace_back();
    RuledObject& slot = records[count];
    // What carries over comes from the record the rules ran on last; a slot whose object was not
    // written is run on again as it is.
    slot.attributes.carryOver(attributes_);
    const bool written = rule(object, slot.attributes);
    attributes_.carryOver(slot.attributes);
    if (!written) continue;
    slot.object = std::move(object);
    ++count;
  }
  return count;
}

void MapRun::ruleApart(PieceOutcome& outcome, int32_t lineBase, FormattedBatch room) {
  // Nothing carries over between objects here, so each piece starts from a fresh record, as the
  // map itself does.
  ObjectAttributes attributes;
  MapWriter writer(std::move(room.text));
  const RuleMessageCapture capture(outcome.messages);
  for (MapObject& object : outcome.chunk.objects) {
    object.locLine += static_cast<uint32_t>(lineBase);
    try {
      if (!applyRules(entry_, object, attributes)) continue;
    } catch (const UnknownObjectType& e) {
      outcome.unknownKind = e.kind;
      break;
    }
    writer.WriteObject(object, nullptr, attributes);
  }
  std::deque<MapObject>().swap(outcome.chunk.objects);
  outcome.batch = FormattedBatch{writer.takeText(), std::move(room.records)};
}

void MapRun::readInChunks(FILE* input) {
  MapChunks chunks(input, options_.chunkBytes);
  // Enough pieces ahead to keep every worker busy while the oldest is handed to the writer, and
  // no more: each holds a piece's objects or text.
  const std::size_t ahead = std::size_t{options_.jobs} + 1;
  PieceTurns turns;
  // Drained before anything else writes; outlives the pool, whose tasks take its spare room.
  BatchWriter writer(output_, ahead + 1);
  WorkerPool pool(options_.jobs);
  std::deque<std::future<PieceOutcome>> pieces;
  std::size_t submitted = 0;
  bool first = true;
  // Line breaks before the piece in hand, which its own line numbers count from.
  int32_t lineBase = 0;
  while (!stopped_) {
    while (pieces.size() < ahead && !chunks.exhausted()) {
      std::optional<std::string> piece = chunks.next();
      if (!piece) break;
      pieces.push_back(pool.submit(
          [this, bytes = std::move(*piece), first, index = submitted++, &turns, &writer]() mutable {
            return runPiece(std::move(bytes), first, index, turns, writer);
          }));
      first = false;
    }
    if (pieces.empty()) break;
    PieceOutcome outcome = pieces.front().get();
    pieces.pop_front();
    ParsedChunk& chunk = outcome.chunk;

    const bool atEndOfFile = pieces.empty() && chunks.exhausted() && chunks.endedCleanly();
    if (chunk.error && chunk.errorAtEnd && !atEndOfFile) {
      // The piece ended where the map goes on; only reading on tells whether that is an error.
      // No later piece was ruled, so the rules go on from the end of the one before.
      if (!writer.drain()) {
        stopped_ = true;
        return;
      }
      ChunkChain chain(chunks);
      chain.append(std::move(chunk.bytes));
      for (std::future<PieceOutcome>& later : pieces)
        chain.append(std::move(later.get().chunk.bytes));
      pieces.clear();
      Tokenizer tokenizer(chain);
      tokenizer.lineCount = lineBase;
      readInOnePass(tokenizer, chunk.first);
      return;
    }
    if (chunk.error) {
      writer.drain();
      // The objects before the error are ruled for what the rules print, as one pass rules them
      // before it meets the error; their text goes with the map.
      for (const MapObject& object : chunk.objects) rule(object, attributes_);
      chunk.error->line += lineBase;
      chunk.errorTokenizer->lineCount += lineBase;
      fail(*chunk.error, *chunk.errorTokenizer);
    }

    chunks.recycle(std::move(chunk.bytes));
    report_.merge(chunk.report, lineBase);
    lineBase += chunk.lineCount;
    // After an object without a type nothing more is written; the map is still read whole.
    if (!rulesInTurn_ && unknownKind_) continue;
    if (!outcome.messages.empty())
      std::fwrite(outcome.messages.data(), 1, outcome.messages.size(), stderr);
    if (outcome.unknownKind) unknownKind_ = outcome.unknownKind;
    std::promise<FormattedBatch> formatted;
    formatted.set_value(std::move(*outcome.batch));
    stopped_ = !writer.push(formatted.get_future());
  }
  stopped_ = !writer.drain() || stopped_;
  // Raises the read error that ended the pieces, if any.
  if (!stopped_) chunks.next();
}

void MapRun::finish() {
  if (!stopped_) {
    for (const std::string& line : report_.summaryLines())
      std::fprintf(stderr, "%s\n", line.c_str());
  }
  output_.endMap();
  if (unknownKind_) throw UnknownObjectType(*unknownKind_);
}

}  // namespace

bool applyRules(const ObjectConfImpl& entry, const MapObject& object,
                ObjectAttributes& attributes) {
  attributes.reset();
  entry.initAttributes(object, attributes);
  entry.block.execute(object, attributes);
  if (!attributes.exportObject) return false;
  if (attributes.type != -1) return true;
  // The per-kind value is taken as it is, even when it is -1 itself.
  switch (attributes.kind) {
    case ObjectKind::Point:
      attributes.type = attributes.pointType;
      return true;
    case ObjectKind::Line:
      attributes.type = attributes.lineType;
      return true;
    case ObjectKind::Polygon:
      attributes.type = attributes.polygonType;
      return true;
    default:
      throw UnknownObjectType(attributes.kind);
  }
}

void processMapFile(const ObjectConfImpl& entry, FILE* input, OutputFile& output,
                    const ConversionOptions& options) {
  // Closes the map on every way out, a read error included.
  std::unique_ptr<FILE, FileCloser> inputGuard(input);
  MapRun run(entry, output, options);
  output.beginMap();
  try {
    if (options.jobs <= 1) {
      Tokenizer tokenizer(input);
      run.readInOnePass(tokenizer, true);
    } else {
      run.readInChunks(input);
    }
  } catch (...) {
    // Nothing of a map that could not be read whole stays in the output.
    output.discardMap();
    throw;
  }
  inputGuard.reset();
  run.finish();
}

}  // namespace zarvex
