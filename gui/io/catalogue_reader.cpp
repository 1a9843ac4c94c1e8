#include "gui/io/catalogue_reader.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "gui/io/code_page.h"
#include "gui/io/file_system.h"
#include "gui/io/line_reader.h"
#include "gui/io/text_util.h"

namespace visual {

namespace {

// Type files are small; many may be read in one load.
constexpr std::size_t kTypeFileBlock = 64 << 10;

struct Definition {
  std::string code;
  int kind;
  std::string name;
};

// What one type file gives: the file its last ".extends" line chose, if any, and the types
// defined after that line (those before it are emptied away by the extended file's load).
struct TypeFile {
  std::optional<std::string> base;
  std::vector<Definition> definitions;
};

struct Reader {
  const std::string& folder;
  int codePage;
  std::string* error;
  // Files already on the ".extends" chain, left out of the choice so that a "-ru" file
  // extending its own base does not read itself without end.
  std::vector<std::string> chain;

  std::optional<std::string> choose(const std::string& typeSet) const {
    std::vector<std::string> names = listFiles(folder, "Type-" + typeSet + "*.dat");
    std::erase_if(names, [this](const std::string& name) {
      return std::find(chain.begin(), chain.end(), name) != chain.end();
    });
    if (names.empty()) return std::nullopt;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
      if (it->find("-ru") != std::string::npos) return *it;
    return names.front();
  }

  bool fail(const std::string& text) {
    if (error) *error = text;
    return false;
  }

  // Reads `file` (already on the chain) once, whatever number of ".extends" lines it holds.
  bool read(const std::string& file, TypeFile& out) {
    const std::string path = joinPath(folder, file);
    if (fileSize(path) > kMaxTextFileBytes) return fail(tooLargeError(path));
    LineReader lines(kTypeFileBlock);
    lines.setLimit(kMaxTextFileBytes);
    if (!lines.open(path)) return fail(lines.error());
    int kind = -1;
    std::size_t width = 0;
    std::string_view raw;
    while (lines.next(raw)) {
      if (isBlankOrComment(raw)) continue;
      const std::string lower = lowerCase(raw, codePage);
      const std::string_view t = trimmedLeft(lower);
      if (const std::size_t at = t.find(".extends"); at != std::string_view::npos) {
        // A name that matches no file leaves the catalogue as it is.
        if (auto chosen = choose(std::string(trimmed(t.substr(at + 8))))) {
          out.base = std::move(chosen);
          out.definitions.clear();
        }
        continue;
      }
      if (t.find(".point") != std::string_view::npos) kind = 2, width = 6;
      if (t.find(".polyline") != std::string_view::npos) kind = 0, width = 4;
      if (t.find(".polygon") != std::string_view::npos) kind = 1, width = 4;
      if (t.find("0x") == std::string_view::npos) continue;
      const std::size_t separator = t.find_first_of(" \t");
      std::string code(trimmed(t.substr(0, separator)));
      const std::string_view name = separator == std::string_view::npos
                                        ? std::string_view()
                                        : trimmedLeft(t.substr(separator));
      if (kind >= 0 && code.size() < width && code.size() >= 2)
        code.insert(2, width - code.size(), '0');
      out.definitions.push_back({std::move(code), kind, std::string(name)});
    }
    if (!lines.error().empty()) return fail(lines.error());
    return true;
  }

  // Follows the chain from `file` down to the file that extends none, then defines the types
  // from the bottom up, so that each file overrides what it extends.
  bool load(const std::string& file, Catalogue& catalogue) {
    std::vector<TypeFile> files;
    for (std::optional<std::string> next = file; next;) {
      chain.push_back(*next);
      TypeFile& entry = files.emplace_back();
      if (!read(*next, entry)) return false;
      next = entry.base;
    }
    catalogue.clear();
    for (auto it = files.rbegin(); it != files.rend(); ++it)
      for (Definition& d : it->definitions)
        catalogue.define(std::move(d.code), d.kind, std::move(d.name));
    return true;
  }
};

}  // namespace

bool hasTypeFiles(const std::string& folder) {
  return !folder.empty() && !listFiles(folder, "type*.dat").empty();
}

bool loadCatalogue(const std::string& folder, const std::string& typeSet, int codePage,
                   Catalogue& catalogue, std::string* error) {
  Reader reader{folder, codePage, error, {}};
  const auto chosen = reader.choose(typeSet);
  if (!chosen) {
    catalogue.clear();
    if (error) {
      *error = "В папке " + (folder.empty() ? std::string(".") : folder) + " нет файлов Type-" +
               typeSet + "*.dat";
      if (!typeSet.empty()) *error += " для набора типов \"" + typeSet + "\"";
    }
    return false;
  }
  if (!reader.load(*chosen, catalogue)) {
    catalogue.clear();
    return false;
  }
  return true;
}

}  // namespace visual
