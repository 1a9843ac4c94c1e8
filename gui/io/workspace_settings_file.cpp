#include "gui/io/workspace.h"

#include <cerrno>

#include "gui/io/catalogue_reader.h"
#include "gui/io/file_error.h"
#include "gui/io/profile_file.h"
#include "gui/io/settings_file.h"
#include "gui/io/workspace_state.h"

namespace visual {

namespace {

constexpr const char* kNoMap = "Файл карты (*.mp) не загружен или перемещен!";
constexpr const char* kSetFilter = "zarvax SetFiles (*.set)|*.set";
constexpr const char* kNotSettings = ": не файл настроек (нет раздела [Header] с именем карты)";

}  // namespace

void Workspace::save() {
  State& s = *state_;
  if (nameOf(s.doc.FileName).empty()) {
    s.ui.showMessage(kNoMap);
    return;
  }
  s.progress(0, static_cast<int>(s.md.size()));
  if (s.storeRule(State::Binding::Keep)) s.modified = true;
  const auto path =
      s.ui.chooseSaveFile({"", kSetFilter, ".set"}, stem(nameOf(s.doc.FileName)) + ".set");
  if (path && (!fileExists(*path) ||
               s.ui.askYesNo(std::string("Переписать файл ") + nameOf(*path) + "?"))) {
    ProfileFile profile;
    writeSettings(s.doc, s.md, profile, [&s](int pos) { s.progress(pos); });
    std::string error;
    if (profile.save(*path, &error))
      s.modified = false;
    else
      s.ui.showMessage(error);
  }
  s.resetProgress();
}

void Workspace::load() {
  State& s = *state_;
  if (!hasTypeFiles(s.dirDAT)) {
    s.ui.showMessage(State::noTypeFiles(s.dirDAT));
    return;
  }
  const auto path = s.ui.chooseOpenFile({"", kSetFilter, ".set"});
  if (!path) return;
  ProfileFile profile;
  std::string error;
  if (!profile.load(*path, &error)) {
    s.ui.showMessage(error);
    return;
  }
  // Every saved piece of work names its map; anything else would load as an empty one.
  if (trimmed(profile.get("Header", "FileName", "")).empty()) {
    s.ui.showMessage(fileExists(*path) ? *path + kNotSettings
                                       : fileError(FileAction::Read, *path, ENOENT));
    return;
  }
  // Read whole before anything is replaced, so that a refused file leaves the work as it was.
  MapInfo doc = s.doc;
  readSettingsHeader(profile, doc);
  const int count = readRecordCount(profile);
  s.progressMax = 2 * count + 1;
  std::vector<RuleRecord> records;
  for (int i = 1; i <= count; ++i) {
    s.progress(i);
    records.push_back(readRecord(profile, i));
    if (const auto fault = recordFault(records.back())) {
      s.ui.showMessage(*path + ": [Record" + std::to_string(i) + "] " + *fault);
      s.resetProgress();
      return;
    }
  }
  s.doc = std::move(doc);
  s.md.clear();
  s.bound.reset();
  for (RuleRecord& record : records) s.md.put(std::move(record));
  if (!loadCatalogue(s.dirDAT, s.doc.TypeSet, s.codePage, s.mdD, &error)) {
    s.ui.showMessage(error);
    s.resetProgress();
    return;
  }
  const MapInfo saved = s.doc;
  switch (s.scan(s.doc.FileName)) {
    case State::ScanResult::Done:
      // The scan reads the header of the map; what it lacks stays as the work saved it, so
      // that, above all, the type set chosen for it is kept.
      for (auto field : {&MapInfo::ID, &MapInfo::Name, &MapInfo::TypeSet, &MapInfo::CopyRight})
        if ((s.doc.*field).empty()) s.doc.*field = saved.*field;
      s.select(*s.fileHeaderPath());
      s.generateEnabled = true;
      s.saveEnabled = true;
      s.modified = false;
      break;
    case State::ScanResult::GaveUp:
      newDocument();
      break;
    case State::ScanResult::Failed:
      break;
  }
  s.resetProgress();
}

}  // namespace visual
