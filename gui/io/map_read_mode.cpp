#include "gui/io/map_read_mode.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "gui/io/code_page.h"

namespace visual {

namespace {

// Enough to tell the user what to look for and still one line; the converter lists the rest.
constexpr std::size_t kNamesShown = 3;

std::string namesNeedingLenient(const zarvex::LenientReport& report, int codePage) {
  std::vector<std::string> names;
  bool more = false;
  for (const zarvex::LenientReport::Entry& entry : report.entries()) {
    std::string name = entry.item == zarvex::LenientReport::Item::CommentLine
                           ? std::string("комментарии в секциях")
                           : toUtf8(entry.name, codePage);
    // The same key may be met in the header and in the objects.
    if (std::find(names.begin(), names.end(), name) != names.end()) continue;
    if (names.size() == kNamesShown) {
      more = true;
      break;
    }
    names.push_back(std::move(name));
  }
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  if (more) text += ", …";
  return text;
}

// The line as the converter reports it, so that the user finds the same place in its output.
std::string placeOf(const zarvex::MapReadError& error, int codePage) {
  const std::string message = toUtf8(error.message, codePage);
  return error.line < 0 ? message : "строка " + std::to_string(error.line) + ": " + message;
}

}  // namespace

MapReadMode::Stamp MapReadMode::stampOf(const std::string& path) {
  Stamp stamp{path, 0, {}};
  std::error_code ignored;
  stamp.size = std::filesystem::file_size(path, ignored);
  stamp.time = std::filesystem::last_write_time(path, ignored);
  return stamp;
}

void MapReadMode::check(const std::string& path) {
  stamp_ = stampOf(path);
  check_ = zarvex::checkMapFile(path);
}

void MapReadMode::refresh(const std::string& path) {
  if (!stamp_ || !(*stamp_ == stampOf(path))) check(path);
}

void MapReadMode::clear() {
  stamp_.reset();
  check_ = {};
}

bool MapReadMode::lenient() const {
  if (!stamp_) return false;
  // A map that stops even lenient reading still gets it when the strict reader stops earlier,
  // on something lenient reading passes: the converter then names the place the page names.
  return check_.readability == zarvex::MapReadability::Lenient ||
         (check_.readability == zarvex::MapReadability::Unreadable && !check_.report.empty());
}

std::string MapReadMode::note(int codePage) const {
  if (!stamp_) return {};
  switch (check_.readability) {
    case zarvex::MapReadability::Strict:
      return {};
    case zarvex::MapReadability::Lenient:
      return "Карта читается только в мягком режиме (--lenient): " +
             namesNeedingLenient(check_.report, codePage);
    case zarvex::MapReadability::Unreadable:
      if (check_.error.line < 0)
        return "Конвертер не сможет прочитать карту " + stamp_->path + " (" +
               placeOf(check_.error, codePage) + ")";
      return "Карта не читается ни в строгом, ни в мягком режиме: " +
             placeOf(check_.error, codePage);
  }
  return {};
}

}  // namespace visual
