#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "gui/model/preview_map.h"

namespace visual {

/// The open map as the view draws it.
struct SourcePreview {
  /// Each object with its most detailed coordinate lines (those of its lowest level).
  PreviewMap map;
  /// Every point of every coordinate line of the file, whatever its level.
  std::uint64_t points = 0;
  /// Kind and type of the object whose section starts at each line; the converter names that
  /// line in the origin comment of what it writes, so converted objects find their source.
  std::unordered_map<std::uint32_t, std::pair<int, int>> origins;
};

/// The open map's row of the counts: its drawn objects and all its points.
inline LevelCounts countsOf(const SourcePreview& source) {
  return {source.map.objects.size(), source.points, source.points};
}

/// Reads the map at `path` with the converter's reader (leniently, so that every map that
/// converts is drawn). False with `error` naming the file and line when it cannot be read, and
/// false with an empty `error` when `cancel` was set meanwhile.
bool readSourcePreview(const std::string& path, SourcePreview& out, std::string* error,
                       const std::atomic<bool>* cancel = nullptr);

/// Reads the converted map at `path` into one PreviewMap per level 0 … `levels` − 1: each
/// object with its coordinate lines of that level, and its source's kind and type from
/// `source`. Errors and `cancel` as for readSourcePreview.
bool readLevelPreviews(const std::string& path, int levels, const SourcePreview& source,
                       std::vector<PreviewMap>& out, std::string* error,
                       const std::atomic<bool>* cancel = nullptr);

}  // namespace visual
