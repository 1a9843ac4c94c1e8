#include "converter/mpformat/map_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "converter/mpformat/measures.h"
#include "converter/mpformat/number_format.h"

namespace zarvex {
namespace {

// Pieces of at least the stream's buffer size go to the file without a copy into that buffer; an
// object that a wide level range multiplies goes out in pieces too, so that its text never has
// to fit in memory at once.
constexpr size_t kFlushSize = size_t{1} << 20;

// The largest index a level table holds. A level beyond it would repeat every coordinate line
// once per level: billions of times for an EndLevel near the 32-bit limit.
constexpr uint32_t kTopLevel = 10;

bool isRegenerated(const std::string& key) {
  static constexpr std::array<std::string_view, 5> kKeys = {"LOC", "RLENGTH", "RWIDTH", "RHEIGHT",
                                                            "RAREA"};
  for (std::string_view k : kKeys)
    if (key == k) return true;
  return false;
}

struct ListSection {
  const char* open;
  const char* close;
};

ListSection listSection(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Countries:
      return {"[Countries]\n", "[END-Countries]\n\n"};
    case ObjectKind::Regions:
      return {"[Regions]\n", "[END-Regions]\n\n"};
    case ObjectKind::Districts:
      return {"[Districts]\n", "[END-Districts]\n\n"};
    case ObjectKind::Cities:
      return {"[Cities]\n", "[END-Cities]\n\n"};
    default:
      return {"[ZipCodes]\n", "[END-ZipCodes]\n\n"};
  }
}

// A point's text: a comma before it, its parentheses and the comma between its two numbers.
constexpr size_t kPointSize = 4 + 2 * kMaxFixed6Size;

char* writePoint(double lat, double lon, char* out) {
  *out++ = '(';
  out = formatFixed6Pair(lat, lon, out);
  *out++ = ')';
  return out;
}

}  // namespace

void MapWriter::appendInt(int32_t value) {
  buffer_.commit(formatInt(value, buffer_.grab(16)));
}

void MapWriter::appendPoint(OutputBuffer& to, double lat, double lon) {
  to.commit(writePoint(lat, lon, to.grab(kPointSize)));
}

bool MapWriter::appendPoints(OutputBuffer& to, const DataLine& line, bool closeRing) {
  // Room once a point, and a pointer of its own: through the buffer, every char stored could
  // alias its fields, which would be read again after each.
  const GeoPoint* points = line.points.data();
  const size_t count = line.points.size();
  appendPoint(to, points[0].lat, points[0].lon);
  for (size_t i = 1; i < count; ++i) {
    char* out = to.grab(kPointSize);
    *out++ = ',';
    to.commit(writePoint(points[i].lat, points[i].lon, out));
    // A line of a million points goes out in pieces rather than as one huge buffer.
    if (&to == &buffer_ && (i & 4095) == 4095 && !flushIfLarge(out_)) return false;
  }
  const GeoPoint& head = line.points.front();
  const GeoPoint& tail = line.points.back();
  if (closeRing && line.ringRole != RingRole::None &&
      (tail.lat != head.lat || tail.lon != head.lon)) {
    to.push_back(',');
    appendPoint(to, head.lat, head.lon);
  }
  return true;
}

void MapWriter::appendLine(const char* key, const std::string& value) {
  buffer_.append(key);
  // A huge value goes to the stream as it is, not through a second copy in the buffer.
  appendText(value.data(), value.size());
  buffer_.push_back('\n');
}

bool MapWriter::appendText(const char* text, size_t size) {
  if (size < kFlushSize || out_ == nullptr) {
    buffer_.append(text, size);
    return true;
  }
  flush(out_);
  std::fwrite(text, 1, size, out_);
  return std::ferror(out_) == 0;
}

void MapWriter::appendNonEmpty(const char* key, const std::string& value) {
  if (!value.empty()) appendLine(key, value);
}

void MapWriter::appendKeyValues(const std::vector<KeyValue>& entries) {
  for (const KeyValue& entry : entries) {
    buffer_.append(entry.key);
    buffer_.push_back('=');
    appendLine("", entry.value);
  }
}

void MapWriter::flush(FILE* out) {
  if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out);
  buffer_.clear();
}

bool MapWriter::flushIfLarge(FILE* out) {
  if (out == nullptr || buffer_.size() < kFlushSize) return true;
  flush(out);
  return std::ferror(out) == 0;
}

void MapWriter::WriteObject(const MapObject& object, FILE* out,
                            const ObjectAttributes& attributes) {
  out_ = out;
  buffer_.append("; LOC=");
  buffer_.append(object.locFileName());
  buffer_.push_back(':');
  buffer_.commit(formatUnsigned(object.locLine, buffer_.grab(16)));
  buffer_.push_back('\n');
  for (const KeyValue& attribute : attributes.attributes) {
    if (attribute.value.empty() || isRegenerated(attribute.key)) continue;
    buffer_.append("; ");
    buffer_.append(attribute.key);
    buffer_.push_back('=');
    appendLine("", attribute.value);
  }

  switch (attributes.kind) {
    case ObjectKind::Point:
      append("[POI]\n");
      break;
    case ObjectKind::Line:
      append("; RLENGTH=");
      appendInt(measureToInt(objectLength(object)));
      append("\n; RWIDTH=");
      appendInt(measureToInt(objectWidth(object)));
      append("\n; RHEIGHT=");
      appendInt(measureToInt(objectHeight(object)));
      append("\n[POLYLINE]\n");
      break;
    case ObjectKind::Polygon:
      append("; RAREA=");
      appendInt(measureToInt(objectArea(object) / 1000));
      append("\n; RWIDTH=");
      appendInt(measureToInt(objectWidth(object)));
      append("\n; RHEIGHT=");
      appendInt(measureToInt(objectHeight(object)));
      append("\n[POLYGON]\n");
      break;
    case ObjectKind::Restriction:
      append("[Restrict]\n");
      appendLine("Nod=", attributes.nod);
      appendLine("TraffPoints=", attributes.traffPoints);
      appendLine("TraffRoads=", attributes.traffRoads);
      appendLine("Time=", attributes.time);
      appendKeyValues(object.keptKeys());
      append("[END-Restrict]\n\n");
      flushIfLarge(out);
      return;
    case ObjectKind::Countries:
    case ObjectKind::Regions:
    case ObjectKind::Districts:
    case ObjectKind::Cities:
    case ObjectKind::ZipCodes: {
      const ListSection section = listSection(attributes.kind);
      append(section.open);
      appendKeyValues(object.listEntries(attributes.kind));
      appendKeyValues(object.keptKeys());
      append(section.close);
      flushIfLarge(out);
      return;
    }
  }

  append("Type=0x");
  buffer_.commit(formatHex(static_cast<uint32_t>(attributes.type), buffer_.grab(16)));
  buffer_.push_back('\n');
  appendNonEmpty("Label=", attributes.label);
  if (attributes.direction) append("DirIndicator=1\n");
  appendNonEmpty("DontFind=", attributes.dontFind);
  if (attributes.city) append("City=Y\n");
  appendNonEmpty("CountryName=", attributes.countryName);
  appendNonEmpty("RegionName=", attributes.regionName);
  appendNonEmpty("DistrictName=", attributes.districtName);
  appendNonEmpty("CityName=", attributes.cityName);
  appendNonEmpty("CityIdx=", attributes.cityIdx);
  appendNonEmpty("HouseNumber=", attributes.house);
  appendNonEmpty("StreetDesc=", attributes.streetName);
  appendNonEmpty("ZipIdx=", attributes.zipIdx);
  appendNonEmpty("Phone=", attributes.phone);
  appendNonEmpty("Fax=", attributes.fax);
  appendNonEmpty("EMail=", attributes.email);
  appendNonEmpty("WebPage=", attributes.webPage);
  appendNonEmpty("Text=", attributes.text);
  appendNonEmpty("RoadID=", object.get(TextField::roadId));
  appendNonEmpty("RouteParam=", object.get(TextField::routeParam));
  appendNonEmpty("Background=", attributes.background);
  appendNonEmpty("RouteParamExt=", attributes.routeParamExt);
  appendNonEmpty("RouteParams=", attributes.routeParams);
  appendKeyValues(object.keptKeys());

  // Compared as unsigned, so that a negative level counts as one beyond the table too.
  const uint32_t first = std::min(static_cast<uint32_t>(attributes.layerMin), kTopLevel);
  const uint32_t last = std::min(
      static_cast<uint32_t>(attributes.layerMax >= 1 ? attributes.layerMax : attributes.layerMin),
      kTopLevel);
  const bool collapse = attributes.kind == ObjectKind::Point && object.kind != ObjectKind::Point;
  double latMean = 0.0, lonMean = 0.0;
  bool hasPoint = false;
  if (collapse) {
    double latSum = 0.0, lonSum = 0.0;
    size_t count = 0;
    for (const DataLine& line : object.data)
      for (const GeoPoint& p : line.points) {
        latSum += p.lat;
        lonSum += p.lon;
        ++count;
      }
    hasPoint = count > 0;
    if (hasPoint) {
      latMean = latSum / static_cast<double>(count);
      lonMean = lonSum / static_cast<double>(count);
    }
  }
  // A failed write ends the object at once: the stream stays failed, and the driver reports it.
  if (first <= last && (!collapse || hasPoint)) {
    const bool closeRings = attributes.kind == ObjectKind::Line;
    // Every level repeats the same coordinates: they are formatted once.
    const bool several = !collapse && first != last;
    if (several) {
      lineText_.clear();
      lineEnds_.clear();
      for (const DataLine& line : object.data) {
        if (!line.points.empty()) appendPoints(lineText_, line, closeRings);
        lineEnds_.push_back(lineText_.size());
      }
    }
    for (uint32_t level = first;; ++level) {
      if (collapse) {
        append("Data");
        appendInt(static_cast<int32_t>(level));
        buffer_.push_back('=');
        appendPoint(buffer_, latMean, lonMean);
        buffer_.push_back('\n');
        if (!flushIfLarge(out)) return;
      } else {
        for (size_t i = 0; i < object.data.size(); ++i) {
          const DataLine& line = object.data[i];
          if (line.points.empty()) continue;
          append("Data");
          appendInt(static_cast<int32_t>(level));
          buffer_.push_back('=');
          if (!several) {
            if (!appendPoints(buffer_, line, closeRings)) return;
          } else {
            const size_t begin = i == 0 ? 0 : lineEnds_[i - 1];
            if (!appendText(lineText_.data() + begin, lineEnds_[i] - begin)) return;
          }
          buffer_.push_back('\n');
          if (!flushIfLarge(out)) return;
        }
      }
      if (level == last) break;
    }
    // One huge object should not keep its text for the rest of the map.
    if (lineText_.size() >= kFlushSize) lineText_ = OutputBuffer();
  }

  appendKeyValues(object.nodEntries());
  appendKeyValues(object.numbersEntries());
  append("[END]\n\n");
  flushIfLarge(out);
}

}  // namespace zarvex
