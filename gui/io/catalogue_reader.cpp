#include "gui/io/catalogue_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "gui/io/code_page.h"
#include "gui/io/file_system.h"
#include "gui/io/line_reader.h"
#include "gui/io/text_util.h"

namespace visual {

namespace {

struct Reader {
  const std::string& folder;
  int codePage;
  Catalogue& catalogue;
  std::string* error;
  // Files being read further up the ".extends" chain, left out of the choice so that a "-ru"
  // file extending its own base does not read itself without end.
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

  bool load(const std::string& file) {
    catalogue.clear();
    LineReader lines;
    if (!lines.open(joinPath(folder, file))) {
      if (error) *error = lines.error();
      return false;
    }
    chain.push_back(file);
    int kind = -1;
    std::size_t width = 0;
    std::string_view raw;
    while (lines.next(raw)) {
      if (isBlankOrComment(raw)) continue;
      const std::string lower = lowerCase(raw, codePage);
      const std::string_view t = trimmedLeft(lower);
      if (const std::size_t at = t.find(".extends"); at != std::string_view::npos) {
        const std::string base(trimmed(t.substr(at + 8)));
        if (const auto chosen = choose(base)) {
          if (!load(*chosen)) return false;
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
      catalogue.define(std::move(code), kind, std::string(name));
    }
    chain.pop_back();
    if (!lines.error().empty()) {
      if (error) *error = lines.error();
      return false;
    }
    return true;
  }
};

}  // namespace

bool hasTypeFiles(const std::string& folder) {
  return !folder.empty() && !listFiles(folder, "type*.dat").empty();
}

bool loadCatalogue(const std::string& folder, const std::string& typeSet, int codePage,
                   Catalogue& catalogue, std::string* error) {
  Reader reader{folder, codePage, catalogue, error, {}};
  const auto chosen = reader.choose(typeSet);
  if (!chosen) {
    catalogue.clear();
    if (error) *error = std::strerror(ENOENT);
    return false;
  }
  if (!reader.load(*chosen)) {
    catalogue.clear();
    return false;
  }
  return true;
}

}  // namespace visual
