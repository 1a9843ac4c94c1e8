#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace visual {

/// A profile (INI) file held in memory, with the semantics of the Windows profile functions:
/// section and key names compared without regard to case, values trimmed of blanks, and a value
/// enclosed in double quotes loses them. Lines end with CR LF, LF or a lone CR on reading.
class ProfileFile {
 public:
  /// Reads `path`; a missing file gives an empty profile. False (with `error`) on a read error.
  bool load(const std::string& path, std::string* error);
  /// The value of `key` in `section`, or `fallback` when either is missing.
  std::string get(const std::string& section, const std::string& key,
                  const std::string& fallback) const;
  /// Replaces the key in place, or appends it to its section, or appends the section at the end.
  void set(const std::string& section, const std::string& key, const std::string& value);
  /// Writes the profile to a temporary file beside `path` and renames it over `path`, so that a
  /// failed write leaves the old file as it was. Lines end as the platform's text files do (CR LF
  /// on Windows). False (with `error`) on failure.
  bool save(const std::string& path, std::string* error) const;

 private:
  /// A "[name]" line with the lines up to the next one; the first holds the lines before any.
  struct Section {
    std::vector<std::string> lines;
    /// Lower-cased key to the line of its first occurrence.
    std::unordered_map<std::string, std::size_t> keys;
    /// Line after which a new key goes: the last key line, or the "[name]" line.
    std::size_t lastKeyLine = 0;
  };

  void addLine(std::string line);

  std::vector<Section> sections_ = std::vector<Section>(1);
  /// Lower-cased section name to its first section.
  std::unordered_map<std::string, std::size_t> sectionIndex_;
};

/// One key read from the file at `path`, as the profile function reads it.
std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback);
/// One key written to the file at `path` (created when missing). False on failure.
bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

}  // namespace visual
