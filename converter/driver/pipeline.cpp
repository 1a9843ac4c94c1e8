#include "converter/driver/pipeline.h"

#include <deque>
#include <future>
#include <memory>
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
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace zarvex {

namespace {

constexpr std::size_t kHandOverBytes = std::size_t{1} << 20;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// The rules and the output of one map, fed in file order by either reader.
class MapRun {
 public:
  MapRun(const ObjectConfImpl& entry, OutputFile& output, const ConversionOptions& options)
      : entry_(entry), output_(output), options_(options) {}

  // Reads on token by token from where `tokenizer` stands, `withHeader` at the map's start.
  void readInOnePass(Tokenizer& tokenizer, bool withHeader);
  // Reads pieces of the map on worker threads and formats the ruled objects there too.
  void readInChunks(FILE* input);
  // After the whole map: what lenient reading did, and the object left without a type.
  void finish();

 private:
  // Runs the rules; false for an object not to be written, and for every object from the
  // first one without a type on, since the output must end before that one.
  bool rule(const MapObject& object, ObjectAttributes& attributes);
  [[noreturn]] void fail(const ParserException& error, const Tokenizer& tokenizer);

  const ObjectConfImpl& entry_;
  OutputFile& output_;
  const ConversionOptions& options_;
  // The record that the rules run on in one pass; in pieces, what carries over between the
  // records of the batches. zip, www, road_class and speed_limit carry over between the objects
  // of one map, starting empty and 0.
  ObjectAttributes attributes_;
  LenientReport report_;
  std::optional<ObjectKind> unknownKind_;
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

void MapRun::readInChunks(FILE* input) {
  MapChunks chunks(input, options_.chunkBytes);
  WorkerPool pool(options_.jobs);
  // Enough pieces ahead to keep every worker busy while the rules take one, and no more: each
  // holds a piece's objects or text.
  const std::size_t ahead = std::size_t{options_.jobs} + 1;
  std::deque<std::future<ParsedChunk>> parsing;
  // Gone before the pool, whose tasks it waits for; drained before anything else writes.
  BatchWriter writer(output_, ahead + 1);
  const std::string& fileName = entry_.fileName;
  const bool lenient = options_.lenient;
  bool first = true;
  // Line breaks before the piece in hand, which its own line numbers count from.
  int32_t lineBase = 0;
  while (!stopped_) {
    while (parsing.size() < ahead && !chunks.exhausted()) {
      std::optional<std::string> piece = chunks.next();
      if (!piece) break;
      parsing.push_back(
          pool.submit([bytes = std::move(*piece), first, &fileName, lenient]() mutable {
            return parseChunk(std::move(bytes), first, fileName, lenient);
          }));
      first = false;
    }
    if (parsing.empty()) break;
    ParsedChunk chunk = parsing.front().get();
    parsing.pop_front();

    const bool atEndOfFile = parsing.empty() && chunks.exhausted() && chunks.endedCleanly();
    if (chunk.error && chunk.errorAtEnd && !atEndOfFile) {
      // The piece ended where the map goes on; only reading on tells whether that is an error.
      if (!writer.drain()) {
        stopped_ = true;
        return;
      }
      ChunkChain chain(chunks);
      chain.append(std::move(chunk.bytes));
      for (std::future<ParsedChunk>& later : parsing) chain.append(std::move(later.get().bytes));
      parsing.clear();
      Tokenizer tokenizer(chain);
      tokenizer.lineCount = lineBase;
      readInOnePass(tokenizer, chunk.first);
      return;
    }
    if (chunk.error) {
      writer.drain();
      chunk.error->line += lineBase;
      chunk.errorTokenizer->lineCount += lineBase;
      fail(*chunk.error, *chunk.errorTokenizer);
    }

    chunks.recycle(std::move(chunk.bytes));
    // A batch already written lends its room: allocating megabytes of text afresh costs more
    // than formatting into them, and the rules fill its records in place, so that no
    // attributes are copied, moved or allocated for an object.
    FormattedBatch reused = writer.spare().value_or(FormattedBatch{});
    std::vector<RuledObject> records = std::move(reused.records);
    std::size_t count = 0;
    for (MapObject& object : chunk.objects) {
      object.locLine += static_cast<uint32_t>(lineBase);
      if (count == records.size()) records.emplace_back();
      RuledObject& slot = records[count];
      // What carries over comes from the record the rules ran on last; a slot whose object was
      // not written is run on again as it is.
      slot.attributes.carryOver(attributes_);
      const bool written = rule(object, slot.attributes);
      attributes_.carryOver(slot.attributes);
      if (!written) continue;
      slot.object = std::move(object);
      ++count;
    }
    auto batch = pool.submit([records = std::move(records), count, spent = std::move(chunk.objects),
                              room = std::move(reused.text)]() mutable {
      FormattedBatch formatted{formatBatch(records, count, std::move(room)), std::move(records)};
      // Freed here rather than by the thread that runs the rules.
      for (std::size_t i = 0; i < count; ++i) formatted.records[i].object = MapObject();
      std::deque<MapObject>().swap(spent);
      return formatted;
    });
    report_.merge(chunk.report, lineBase);
    lineBase += chunk.lineCount;
    stopped_ = !writer.push(std::move(batch));
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
