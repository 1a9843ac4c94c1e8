#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "converter/mpformat/map_check.h"

namespace visual {

/// Whether the converter has to read the document's map leniently. The check reads the whole
/// map, so it is made once per map file and made again only when the file has changed.
class MapReadMode {
 public:
  /// Checks the map at `path` through the converter's own reader.
  void check(const std::string& path);
  /// Checks again when `path` is another file than the one checked, or has changed since.
  void refresh(const std::string& path);
  /// Forgets the check (no map open).
  void clear();

  /// True when the batch line needs --lenient: the strict reader stops on the map at something
  /// that lenient reading passes over.
  bool lenient() const;
  /// One line for the page "Header" in UTF-8: which keys need lenient reading, or where the
  /// converter will stop; empty for a map that the strict reader reads and when nothing was
  /// checked. Names and messages from the map are bytes of `codePage`.
  std::string note(int codePage) const;

 private:
  struct Stamp {
    std::string path;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
    bool operator==(const Stamp&) const = default;
  };
  static Stamp stampOf(const std::string& path);

  std::optional<Stamp> stamp_;
  zarvex::MapReadCheck check_;
};

}  // namespace visual
