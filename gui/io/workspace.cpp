#include "gui/io/workspace.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "gui/io/catalogue_reader.h"
#include "gui/io/file_system.h"
#include "gui/io/generator.h"
#include "gui/io/map_read_mode.h"
#include "gui/io/map_scan.h"
#include "gui/io/profile_file.h"
#include "gui/io/replacing_file.h"
#include "gui/io/settings_file.h"
#include "gui/io/shell.h"
#include "gui/io/text_util.h"
#include "gui/model/catalogue.h"
#include "gui/model/names.h"
#include "gui/model/rule_table.h"
#include "gui/model/type_key.h"
#include "gui/model/zoom_labels.h"

namespace visual {

namespace {

constexpr const char* kNoTypeFiles = "Установите путь к файлам type-*.dat программы MapEdit!!";
constexpr const char* kMapMoved = "Файл был удален или перемещен. Укажите его заново!";
constexpr const char* kNoMap = "Файл карты (*.mp) не загружен или перемещен!";
constexpr const char* kUnsaved = "Остались несохраненные данные. Сохранить?";
constexpr const char* kNoConverter = "Укажите путь к файлу zarvex.exe!!";
constexpr const char* kOverwriteAll = "Переписать файлы?";
constexpr const char* kAllWritten = "Все файлы созданы";
constexpr const char* kShellFailed = "Батник не запустился, выполните вручную!";
constexpr const char* kSetFilter = "zarvax SetFiles (*.set)|*.set";
constexpr int kDefaultCodePage = 1251;

enum class ScanResult { Done, GaveUp, Failed };

bool lessByText(const TreeEntry& a, const TreeEntry& b) {
  const std::string la = asciiLower(a.text);
  const std::string lb = asciiLower(b.text);
  return la != lb ? la < lb : a.text < b.text;
}

int positionIn(const std::vector<int>& map, int value) {
  const auto it = std::find(map.begin(), map.end(), value);
  return it == map.end() ? -1 : static_cast<int>(it - map.begin());
}

int valueAt(const std::vector<int>& map, int position) {
  return position >= 0 && position < static_cast<int>(map.size())
             ? map[static_cast<std::size_t>(position)]
             : -1;
}

int listPosition(int index, std::size_t size) {
  return index >= 0 && index < static_cast<int>(size) ? index : -1;
}

}  // namespace

struct Workspace::State {
  explicit State(UserInterface& u) : ui(u) {}

  UserInterface& ui;
  MapInfo doc;
  RuleTable md;
  Catalogue mdD;
  std::vector<TreeEntry> tree;
  int treeRevision = 0;
  std::optional<TreePath> selection;
  // The bound row ("CurrentNode"), by key: a rescan keeps the row, so the shown rule stays bound.
  std::optional<TypeKey> bound;
  Page page = Page::Default;
  EditorState editor;
  // The page "Objects" as Show rule filled it, to tell edits from what the row holds.
  EditorState shown;
  std::string fileField;
  bool saveEnabled = false;
  bool generateEnabled = false;
  bool busy = false;
  bool modified = false;
  int progressMax = 1;
  int progressPos = 0;
  int codePage = kDefaultCodePage;
  std::string dirDAT;
  std::string iniPath;
  std::string fnZARVEX;
  std::string defaultConverter;
  bool cbRun = true;
  std::function<bool(const ConverterRun&)> shell = startConversion;
  MapReadMode readMode;

  void progress(int pos) {
    progressPos = pos;
    ui.progressChanged(progressPos, progressMax);
  }
  void progress(int pos, int max) {
    progressMax = max;
    progress(pos);
  }

  const TreeEntry* entryAt(TreePath path) const {
    if (path.root < 0 || path.root >= static_cast<int>(tree.size())) return nullptr;
    const TreeEntry& root = tree[static_cast<std::size_t>(path.root)];
    if (path.child < 0) return &root;
    if (path.child >= static_cast<int>(root.children.size())) return nullptr;
    return &root.children[static_cast<std::size_t>(path.child)];
  }

  void resetTree() {
    tree.clear();
    for (int kind = -1; kind < kKindCount; ++kind)
      tree.push_back({kind < 0 ? "FileHeader" : kindTreeName(kind), kind, "", {}});
    selection.reset();
  }

  void sortTree() {
    for (TreeEntry& root : tree)
      std::stable_sort(root.children.begin(), root.children.end(), lessByText);
    std::stable_sort(tree.begin(), tree.end(), lessByText);
    ++treeRevision;
  }

  void rebuildTree() {
    resetTree();
    for (const RuleRecord& row : md.rows()) {
      if (!row.Used || row.Type < 0 || row.Type >= kKindCount) continue;
      const std::string text = row.Id + " [" + std::to_string(row.Count) + "] " + row.eName;
      tree[static_cast<std::size_t>(row.Type + 1)].children.push_back({text, row.Type, row.Id, {}});
    }
    sortTree();
  }

  std::optional<TreePath> fileHeaderPath() const {
    for (std::size_t i = 0; i < tree.size(); ++i)
      if (tree[i].kind < 0) return TreePath{static_cast<int>(i), -1};
    return std::nullopt;
  }

  void showRule(const TreeEntry& entry) {
    if (!busy) bound = TypeKey{entry.id, entry.kind};
    EditorState& e = editor;
    e.levelItems.clear();
    for (int i = 0; i + 1 < doc.NewLevels && i < kLevelSlots; ++i) {
      const int bits = doc.NewLevel[static_cast<std::size_t>(i)];
      e.levelItems.push_back(std::to_string(i) + ":" + std::to_string(bits) + " " +
                             zoomLabel(bits));
    }
    e.kindItems.clear();
    e.kindMap.clear();
    for (int kind = 0; kind < kKindCount; ++kind) {
      if (kind == entry.kind) continue;
      e.kindItems.push_back(kindListName(kind));
      e.kindMap.push_back(kind);
    }
    e.paramItems.clear();
    e.paramMap.clear();
    for (int measure = 0; measure < kMeasureCount; ++measure) {
      if ((entry.kind == 0 && measure == 0) || (entry.kind == 1 && measure == 1)) continue;
      e.paramItems.push_back(measureListName(measure));
      e.paramMap.push_back(measure);
    }
    e.conditionsEnabled = entry.kind != 2;
    page = Page::Objects;
    const RuleRecord* row = md.find(entry.id, entry.kind);
    if (!row) return;
    const std::size_t levels = e.levelItems.size();
    e.rbVisibleAll = row->chVisibleAlways;
    e.cbVisibleFrom = listPosition(row->cbVisibleFrom, levels);
    e.cbVisibleTo = listPosition(row->cbVisibleTo, levels);
    e.chNameChange = row->chNameChange;
    e.eNameChange = row->eNameChange;
    e.chNameChangeEmpty = row->chNameChangeEmpty;
    e.chNameAdd = row->chNameAdd;
    e.eNameAdd = row->eNameAdd;
    e.chTypeChange = row->chTypeChange;
    e.cbTypeChange = positionIn(e.kindMap, row->cbTypeChange);
    e.chObjectChange = row->chObjectChange;
    e.cbObjectChange = row->cbObjectChange;
    e.eAdd = row->eAdd;
    for (std::size_t n = 0; n < e.cond.size(); ++n) {
      const RuleCondition& c = row->cond[n];
      EditorState::Condition& ec = e.cond[n];
      ec.chCond = c.chCond;
      ec.cbParam = positionIn(e.paramMap, c.cbParam);
      ec.cbCond = listPosition(c.cbCond, kComparisonCount);
      ec.eValue = c.eValue;
      ec.cbVisibleFrom = listPosition(c.cbVisibleFrom, levels);
      ec.cbVisibleTo = listPosition(c.cbVisibleTo, levels);
      ec.cbTypeChange = positionIn(e.kindMap, c.cbTypeChange);
      ec.cbObjectChange = c.cbObjectChange;
    }
    shown = e;
  }

  ScanResult scan(std::string path) {
    busy = true;
    ui.showStatusPath(path);
    while (!fileExists(path)) {
      const auto chosen = ui.chooseMapFile(kMapMoved, "\"" + path + "\"");
      if (!chosen) {
        busy = false;
        return ScanResult::GaveUp;
      }
      path = *chosen;
      if (path.find('"') != std::string::npos)
        path = path.size() >= 2 ? path.substr(1, path.size() - 2) : std::string();
      ui.showStatusPath(path);
    }
    std::string error;
    const ScanProgress bar{progressPos, progressMax, [this](int pos) { progress(pos); }};
    const bool read = scanMap(path, doc, md, mdD, bar, &error);
    // Right after the scan, while the file is still in the system's cache.
    if (read)
      readMode.check(doc.FileName);
    else
      readMode.clear();
    rebuildTree();
    busy = false;
    if (!read) {
      ui.showMessage(error);
      return ScanResult::Failed;
    }
    return ScanResult::Done;
  }

  void showSelection() {
    if (busy || !selection) return;
    const TreeEntry* entry = entryAt(*selection);
    if (!entry) return;
    if (selection->child >= 0) {
      showRule(*entry);
    } else if (entry->kind < 0) {
      page = Page::Header;
      fileField = doc.FileName;
    } else if (!entry->children.empty()) {
      select(TreePath{selection->root, 0});
    }
  }

  void select(TreePath path) {
    if (busy || !entryAt(path)) return;
    if (path.child >= 0) {
      storeRule();
      modified = true;
    }
    selection = path;
    showSelection();
  }

  void resetProgress() { progress(0); }

  // The bound row as Store rule would leave it; nothing when no row is bound.
  std::optional<RuleRecord> edited() const {
    if (!bound) return std::nullopt;
    const RuleRecord* found = md.find(bound->id, bound->type);
    if (!found) return std::nullopt;
    std::optional<RuleRecord> result = *found;
    RuleRecord* row = &*result;
    const EditorState& e = editor;
    const auto level = [](int position) { return position < 0 ? -1 : position; };
    row->chVisibleAlways = e.rbVisibleAll;
    row->cbVisibleFrom = level(e.cbVisibleFrom);
    row->cbVisibleTo = level(e.cbVisibleTo);
    row->chNameChange = e.chNameChange;
    row->eNameChange = e.eNameChange;
    row->chNameChangeEmpty = e.chNameChangeEmpty;
    row->chNameAdd = e.chNameAdd;
    row->eNameAdd = e.eNameAdd;
    row->cbTypeChange = valueAt(e.kindMap, e.cbTypeChange);
    row->chTypeChange = e.chTypeChange && row->cbTypeChange >= 0;
    row->eAdd = e.eAdd;
    row->chObjectChange = e.chObjectChange && !e.cbObjectChange.empty();
    row->cbObjectChange = e.cbObjectChange;
    row->New = false;
    for (std::size_t n = 0; n < e.cond.size(); ++n) {
      const EditorState::Condition& ec = e.cond[n];
      RuleCondition& c = row->cond[n];
      c.chCond = ec.chCond;
      c.cbParam = valueAt(e.paramMap, ec.cbParam);
      c.cbCond = level(ec.cbCond);
      c.eValue = ec.eValue;
      c.cbVisibleFrom = level(ec.cbVisibleFrom);
      c.cbVisibleTo = level(ec.cbVisibleTo);
      c.cbTypeChange = valueAt(e.kindMap, ec.cbTypeChange);
      c.cbObjectChange = ec.cbObjectChange;
    }
    return result;
  }

  // True when a row was written and differs from what it held.
  bool storeRule() {
    std::optional<RuleRecord> row = edited();
    if (!row) return false;
    RuleRecord& stored = *md.find(bound->id, bound->type);
    const bool changed = !(stored == *row);
    stored = std::move(*row);
    bound.reset();
    return changed;
  }

  // Edits on the page "Objects" not yet stored count as unsaved work.
  bool pendingEdits() const { return bound && md.find(bound->id, bound->type) && editor != shown; }
};

Workspace::Workspace(UserInterface& ui) : state_(std::make_unique<State>(ui)) {}

Workspace::~Workspace() = default;

void Workspace::loadIni(const std::string& iniPath) {
  State& s = *state_;
  s.iniPath = iniPath;
  ProfileFile ini;
  std::string error;
  if (!ini.load(iniPath, &error)) {
    s.ui.showMessage(error);
    return;
  }
  s.dirDAT = ini.get("main", "DirDAT_Text", s.dirDAT);
  s.codePage = parseInteger(ini.get("main", "CodePage", "")).value_or(kDefaultCodePage);
  const std::string run = asciiLower(ini.get("dir", "cbRun_Checked", "True"));
  s.cbRun = !(run == "false" || run == "0");
  s.fnZARVEX = ini.get("dir", "fnZARVEX_FileName", s.fnZARVEX);
}

void Workspace::saveIni() const {
  const State& s = *state_;
  if (s.iniPath.empty()) return;
  ProfileFile ini;
  std::string error;
  // Loaded first so that keys set by hand (such as CodePage) survive.
  if (ini.load(s.iniPath, &error)) {
    ini.set("main", "DirDAT_Text", s.dirDAT);
    ini.set("dir", "cbRun_Checked", s.cbRun ? "True" : "False");
    ini.set("dir", "fnZARVEX_FileName", s.fnZARVEX);
    if (ini.save(s.iniPath, &error)) return;
  }
  s.ui.showMessage(error);
}

const std::string& Workspace::catalogueFolder() const {
  return state_->dirDAT;
}

void Workspace::setCatalogueFolder(const std::string& folder) {
  state_->dirDAT = folder;
}

void Workspace::setDefaultConverterPath(const std::string& path) {
  State& s = *state_;
  s.defaultConverter = path;
  if (s.fnZARVEX.empty()) s.fnZARVEX = path;
}

void Workspace::setShellStarter(std::function<bool(const ConverterRun&)> start) {
  state_->shell = std::move(start);
}

void Workspace::newDocument() {
  State& s = *state_;
  if (!hasTypeFiles(s.dirDAT)) {
    s.ui.showMessage(kNoTypeFiles);
    return;
  }
  s.busy = true;
  s.generateEnabled = false;
  s.resetTree();
  s.sortTree();
  MapInfo& d = s.doc;
  d.NewLevel[0] = d.Level[0];
  d.NewZoom[0] = d.Zoom[0];
  d.NewLevels = 1;
  d.FileName.clear();
  s.readMode.clear();
  d.Levels = 0;
  d.ID.clear();
  d.Name.clear();
  d.TypeSet.clear();
  d.CopyRight.clear();
  std::string error;
  const bool loaded = loadCatalogue(s.dirDAT, "", s.codePage, s.mdD, &error);
  s.busy = false;
  if (!loaded) {
    s.ui.showMessage(error);
    return;
  }
  select(*s.fileHeaderPath());
  defaultLevels();
  s.modified = false;
  s.saveEnabled = true;
}

void Workspace::openMap(const std::optional<std::string>& path) {
  State& s = *state_;
  if (!path) {
    s.fileField = s.doc.FileName;
    return;
  }
  s.fileField = *path;
  s.progress(0, 100);
  if (s.scan(*path) == ScanResult::Done) {
    defaultLevels();
    s.generateEnabled = true;
    s.modified = true;
  }
  s.resetProgress();
}

void Workspace::select(TreePath path) {
  state_->select(path);
}

namespace {

bool editableRow(const MapInfo& d, int row) {
  return row > 0 && row < d.NewLevels;
}

}  // namespace

void Workspace::changeLevel(int row) {
  State& s = *state_;
  MapInfo& d = s.doc;
  if (!editableRow(d, row)) return;
  const auto r = static_cast<std::size_t>(row);
  const auto bits = s.ui.pickLevel(d.NewLevel[r]);
  if (!bits) return;
  d.NewLevel[r] = *bits;
  s.showSelection();
  s.modified = true;
}

void Workspace::insertLevelBefore(int row) {
  State& s = *state_;
  MapInfo& d = s.doc;
  if (!editableRow(d, row) || d.NewLevels >= kLevelSlots) return;
  const auto bits = s.ui.pickLevel(d.NewLevel[static_cast<std::size_t>(row)]);
  if (!bits) return;
  for (int j = d.NewLevels - 1; j >= row; --j) {
    const auto to = static_cast<std::size_t>(j + 1);
    d.NewLevel[to] = d.NewLevel[static_cast<std::size_t>(j)];
    d.NewZoom[to] = j + 1;
  }
  d.NewLevel[static_cast<std::size_t>(row)] = *bits;
  d.NewZoom[static_cast<std::size_t>(row)] = row;
  ++d.NewLevels;
  s.showSelection();
  s.modified = true;
}

void Workspace::deleteLevel(int row) {
  State& s = *state_;
  MapInfo& d = s.doc;
  if (!editableRow(d, row) || d.NewLevels < 3) return;
  for (int j = row; j + 1 < d.NewLevels; ++j) {
    d.NewLevel[static_cast<std::size_t>(j)] = d.NewLevel[static_cast<std::size_t>(j + 1)];
    d.NewZoom[static_cast<std::size_t>(j)] = j;
  }
  --d.NewLevels;
  s.showSelection();
  s.modified = true;
}

void Workspace::defaultLevels() {
  State& s = *state_;
  MapInfo& d = s.doc;
  d.NewLevels = 5;
  d.NewLevel[0] = d.Level[0];
  d.NewZoom[0] = 0;
  for (int i = 1; i <= 4; ++i) {
    d.NewLevel[static_cast<std::size_t>(i)] = d.NewLevel[0] - 2 * i;
    d.NewZoom[static_cast<std::size_t>(i)] = i;
  }
  if (!s.selection && !s.tree.empty()) s.selection = TreePath{0, -1};
  s.showSelection();
}

std::vector<std::string> Workspace::objectTypeItems(int list) const {
  const State& s = *state_;
  const EditorState& e = s.editor;
  int kind = -1;
  if (s.selection) {
    if (const TreeEntry* entry = s.entryAt(*s.selection)) kind = entry->kind;
  }
  if (list >= 1 && list <= static_cast<int>(e.cond.size())) {
    const int chosen = valueAt(e.kindMap, e.cond[static_cast<std::size_t>(list - 1)].cbTypeChange);
    if (chosen >= 0) kind = chosen;
  } else if (list == 0 && e.chTypeChange) {
    const int chosen = valueAt(e.kindMap, e.cbTypeChange);
    if (chosen >= 0) kind = chosen;
  }
  return s.mdD.choices(kind);
}

void Workspace::save() {
  State& s = *state_;
  if (nameOf(s.doc.FileName).empty()) {
    s.ui.showMessage(kNoMap);
    return;
  }
  s.progress(0, static_cast<int>(s.md.size()));
  if (s.storeRule()) s.modified = true;
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
    s.ui.showMessage(kNoTypeFiles);
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
  switch (s.scan(s.doc.FileName)) {
    case ScanResult::Done:
      s.select(*s.fileHeaderPath());
      s.generateEnabled = true;
      s.saveEnabled = true;
      s.modified = false;
      break;
    case ScanResult::GaveUp:
      newDocument();
      break;
    case ScanResult::Failed:
      break;
  }
  s.resetProgress();
}

void Workspace::generate() {
  State& s = *state_;
  s.progress(0, static_cast<int>(s.md.size()));
  const std::string base = withoutExtension(s.doc.FileName);
  GenerationSettings settings{base + ".txt",           base + ".cfg", base + ".bat",
                              base + "_multilevel.mp", s.fnZARVEX,    s.cbRun};
  if (!s.ui.showGenerationDialog(settings)) {
    s.resetProgress();
    return;
  }
  s.fnZARVEX = settings.fnZARVEX;
  s.cbRun = settings.cbRun;
  if (s.storeRule()) s.modified = true;
  s.md.sortByIdAndType();
  // The map may have been edited since it was opened.
  s.readMode.refresh(s.doc.FileName);
  const std::vector<CommandWord> command =
      converterCommand(settings.fnZARVEX, settings.fnTXT, settings.fnCFG, settings.fnNewMP,
                       s.readMode.lenient());
  // All three are complete before any replaces its old file, so that a failure leaves the old
  // ones as they were.
  ReplacingFile header, script, batch;
  std::string error;
  bool written = header.open(settings.fnTXT) && writeHeader(s.doc, header, &error) &&
                 header.finish() && script.open(settings.fnCFG);
  if (written) {
    script.write(scriptText(s.doc, s.md, [&s](int pos) { s.progress(pos); }));
    written = script.finish() && batch.open(settings.fnBAT);
  }
  if (written) {
    batch.write(batchText(command));
    written = batch.finish() && header.commit() && script.commit() && batch.commit();
  }
  s.resetProgress();
  if (!written) {
    for (const ReplacingFile* file : {&header, &script, &batch})
      if (error.empty()) error = file->error();
    s.ui.showMessage(error);
    return;
  }
  if (!settings.cbRun) {
    s.ui.showMessage(kAllWritten);
    return;
  }
  // The old converted map goes only now, so that a failed run is not mistaken for its result.
  if (fileExists(settings.fnNewMP) && !deleteFile(settings.fnNewMP, &error)) {
    s.ui.showMessage(error);
    return;
  }
  if (!s.shell({settings.fnBAT, argumentVector(command)})) s.ui.showMessage(kShellFailed);
}

bool Workspace::confirmCreate(const GenerationSettings& settings) {
  State& s = *state_;
  if (!fileExists(settings.fnZARVEX)) {
    s.ui.showMessage(kNoConverter);
    return false;
  }
  const std::array paths = {&settings.fnTXT, &settings.fnCFG, &settings.fnBAT, &settings.fnNewMP};
  const bool existing =
      std::any_of(paths.begin(), paths.end(), [](const std::string* p) { return fileExists(*p); });
  // Nothing is deleted here: generation replaces each file only once its new content is whole.
  return !existing || s.ui.askYesNo(kOverwriteAll);
}

bool Workspace::queryClose() {
  State& s = *state_;
  if (!s.modified && !s.pendingEdits()) return true;
  switch (s.ui.askYesNoCancel(kUnsaved)) {
    case UserInterface::Answer::Yes:
      save();
      return !s.modified;
    case UserInterface::Answer::No:
      return true;
    case UserInterface::Answer::Cancel:
      break;
  }
  return false;
}

const MapInfo& Workspace::document() const {
  return state_->doc;
}
const std::vector<RuleRecord>& Workspace::rules() const {
  return state_->md.rows();
}
const std::vector<TreeEntry>& Workspace::tree() const {
  return state_->tree;
}
int Workspace::treeRevision() const {
  return state_->treeRevision;
}
std::optional<TreePath> Workspace::selection() const {
  return state_->selection;
}

bool Workspace::isBold(TreePath path) const {
  if (path.child < 0) return false;
  const TreeEntry* entry = state_->entryAt(path);
  if (!entry) return false;
  const RuleRecord* row = state_->md.find(entry->id, entry->kind);
  return row && row->New;
}

Page Workspace::page() const {
  return state_->page;
}
void Workspace::showPage(Page page) {
  state_->page = page;
}

HeaderView Workspace::headerView() const {
  const State& s = *state_;
  const MapInfo& d = s.doc;
  HeaderView view{d.ID, d.Name, d.TypeSet, d.CopyRight, s.fileField, {}, {}, {}};
  const auto rows = [](int count, const auto& bits, const auto& zoom) {
    std::vector<std::array<std::string, 4>> out;
    for (int i = 0; i < count && i < kLevelSlots; ++i) {
      const auto k = static_cast<std::size_t>(i);
      out.push_back({"Level" + std::to_string(i) + "=", std::to_string(bits[k]), zoomLabel(bits[k]),
                     "Zoom" + std::to_string(i) + "=" + std::to_string(zoom[k])});
    }
    return out;
  };
  view.levels = rows(d.Levels, d.Level, d.Zoom);
  view.newLevels = rows(d.NewLevels, d.NewLevel, d.NewZoom);
  view.readNote = s.readMode.note(s.codePage);
  return view;
}

EditorState& Workspace::editor() {
  return state_->editor;
}
bool Workspace::saveEnabled() const {
  return state_->saveEnabled;
}
bool Workspace::generateEnabled() const {
  return state_->generateEnabled;
}
bool Workspace::busy() const {
  return state_->busy;
}
bool Workspace::modified() const {
  return state_->modified;
}
int Workspace::progressPos() const {
  return state_->progressPos;
}
int Workspace::progressMax() const {
  return state_->progressMax;
}
int Workspace::codePage() const {
  return state_->codePage;
}

PreviewInputs Workspace::previewInputs() {
  State& s = *state_;
  PreviewInputs inputs{s.doc, s.md, false, s.fnZARVEX, s.codePage};
  // The edits are applied to the copy only: looking at the map stores nothing.
  if (std::optional<RuleRecord> row = s.edited()) inputs.rules.put(std::move(*row));
  inputs.rules.sortByIdAndType();
  if (!s.doc.FileName.empty()) s.readMode.refresh(s.doc.FileName);
  inputs.lenient = s.readMode.lenient();
  return inputs;
}

}  // namespace visual
