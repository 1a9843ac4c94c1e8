#include "gui/io/preview_reader.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include "converter/mpformat/map_reader.h"
#include "converter/tokenizer/errors.h"
#include "converter/tokenizer/tokenizer.h"

namespace visual {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The tree's kinds; -1 for sections the view does not draw.
int viewKind(zarvex::ObjectKind kind) {
  switch (kind) {
    case zarvex::ObjectKind::Line:
      return 0;
    case zarvex::ObjectKind::Polygon:
      return 1;
    case zarvex::ObjectKind::Point:
      return 2;
    default:
      return -1;
  }
}

// Reads every object of the map at `path`, handing each to `take` and dropping it after, so
// that only the view's compact copy stays in memory.
bool readObjects(const std::string& path, std::string* error, const std::atomic<bool>* cancel,
                 const std::function<void(const zarvex::MapObject&)>& take) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
  if (!file) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  zarvex::Tokenizer tokenizer(file.get());
  zarvex::MapReader reader(tokenizer, path, zarvex::ReadOptions{.lenient = true});
  try {
    reader.ReadHeader();
    tokenizer.returnComments = true;
    // The last section is appended by the call that reports the end of the file.
    for (std::uint64_t n = 0;; ++n) {
      if (cancel && n % 1024 == 0 && cancel->load()) {
        if (error) error->clear();
        return false;
      }
      const bool more = reader.ReadObject();
      auto& objects = reader.objects();
      for (const zarvex::MapObject& object : objects) take(object);
      objects.clear();
      if (!more) break;
    }
  } catch (const zarvex::ParserException& e) {
    if (error) *error = path + ": line " + std::to_string(e.line + 1) + ": " + e.message;
    return false;
  } catch (const zarvex::IOException& e) {
    if (error) *error = path + ": " + e.message;
    return false;
  } catch (const zarvex::TokenizerException& e) {
    if (error) *error = path + ": " + e.message;
    return false;
  }
  return true;
}

// Appends `object`'s lines for which `wanted` holds to `map` as one object; nothing when none.
template <typename Wanted>
void append(PreviewMap& map, const zarvex::MapObject& object, int kind, std::pair<int, int> source,
            Wanted wanted) {
  PreviewObject shown{kind,
                      object.type,
                      source.first,
                      source.second,
                      object.label,
                      static_cast<std::uint32_t>(map.lines.size()),
                      0,
                      {}};
  for (const zarvex::DataLine& data : object.data) {
    if (!wanted(data) || data.points.empty()) continue;
    PreviewLine line{static_cast<std::uint32_t>(map.points.size()),
                     static_cast<std::uint32_t>(data.points.size()),
                     {}};
    for (const zarvex::GeoPoint& p : data.points) {
      map.points.push_back({p.lon, p.lat});
      line.bounds.add(map.points.back());
    }
    shown.bounds.add(line.bounds);
    map.lines.push_back(line);
    ++shown.lineCount;
  }
  if (shown.lineCount == 0) return;
  map.bounds.add(shown.bounds);
  map.objects.push_back(std::move(shown));
}

// The line number of an origin comment "file:line"; the file name may hold colons itself.
std::optional<std::uint32_t> originLine(const zarvex::MapObject& object) {
  for (const zarvex::KeyValue& comment : object.comments) {
    if (comment.key != "LOC") continue;
    const std::size_t colon = comment.value.rfind(':');
    if (colon == std::string::npos) return std::nullopt;
    std::uint32_t line = 0;
    const char* first = comment.value.data() + colon + 1;
    const char* last = comment.value.data() + comment.value.size();
    const auto [end, failure] = std::from_chars(first, last, line);
    if (failure != std::errc() || end != last) return std::nullopt;
    return line;
  }
  return std::nullopt;
}

}  // namespace

bool readSourcePreview(const std::string& path, SourcePreview& out, std::string* error,
                       const std::atomic<bool>* cancel) {
  out = {};
  const bool read = readObjects(path, error, cancel, [&out](const zarvex::MapObject& object) {
    const int kind = viewKind(object.kind);
    if (kind < 0) return;
    out.origins[object.locLine] = {kind, object.type};
    int lowest = INT32_MAX;
    for (const zarvex::DataLine& data : object.data) {
      out.points += data.points.size();
      if (!data.points.empty() && data.level < lowest) lowest = data.level;
    }
    append(out.map, object, kind, {kind, object.type},
           [lowest](const zarvex::DataLine& data) { return data.level == lowest; });
  });
  sortForDrawing(out.map);
  buildCoarse(out.map);
  return read;
}

bool readLevelPreviews(const std::string& path, int levels, const SourcePreview& source,
                       std::vector<PreviewMap>& out, std::string* error,
                       const std::atomic<bool>* cancel) {
  out.assign(static_cast<std::size_t>(std::max(levels, 0)), PreviewMap{});
  const bool read = readObjects(path, error, cancel, [&](const zarvex::MapObject& object) {
    const int kind = viewKind(object.kind);
    if (kind < 0) return;
    std::pair<int, int> origin{kind, object.type};
    if (const auto line = originLine(object)) {
      if (const auto found = source.origins.find(*line); found != source.origins.end())
        origin = found->second;
    }
    for (int level = 0; level < levels; ++level) {
      append(out[static_cast<std::size_t>(level)], object, kind, origin,
             [level](const zarvex::DataLine& data) { return data.level == level; });
    }
  });
  for (PreviewMap& map : out) {
    sortForDrawing(map);
    buildCoarse(map);
  }
  return read;
}

}  // namespace visual
