#pragma once

// The Workspace's own state, shared by the files that implement its groups of actions.

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/io/file_system.h"
#include "gui/io/map_read_mode.h"
#include "gui/io/map_scan.h"
#include "gui/io/shell.h"
#include "gui/io/text_util.h"
#include "gui/io/workspace.h"
#include "gui/model/catalogue.h"
#include "gui/model/names.h"
#include "gui/model/rule_table.h"
#include "gui/model/type_key.h"
#include "gui/model/zoom_labels.h"

namespace visual {

struct Workspace::State {
  static constexpr const char* kNoTypeFiles =
      "Установите путь к файлам type-*.dat программы MapEdit!!";
  static constexpr const char* kMapMoved = "Файл был удален или перемещен. Укажите его заново!";
  static constexpr int kDefaultCodePage = 1251;

  enum class ScanResult { Done, GaveUp, Failed };

  static bool lessByText(const TreeEntry& a, const TreeEntry& b) {
    const std::string la = asciiLower(a.text);
    const std::string lb = asciiLower(b.text);
    return la != lb ? la < lb : a.text < b.text;
  }

  static int positionIn(const std::vector<int>& map, int value) {
    const auto it = std::find(map.begin(), map.end(), value);
    return it == map.end() ? -1 : static_cast<int>(it - map.begin());
  }

  static int valueAt(const std::vector<int>& map, int position) {
    return position >= 0 && position < static_cast<int>(map.size())
               ? map[static_cast<std::size_t>(position)]
               : -1;
  }

  static int listPosition(int index, std::size_t size) {
    return index >= 0 && index < static_cast<int>(size) ? index : -1;
  }

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
  bool cbTerminal = false;
  WindowLayout window;
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

  // What a scan reads comes from the map it reads alone; the rules stay, hidden until a map
  // holds their types again.
  void forgetMap() {
    md.forgetCounts();
    doc.ID.clear();
    doc.Name.clear();
    doc.TypeSet.clear();
    doc.CopyRight.clear();
    doc.Levels = 0;
    doc.Level.fill(0);
    doc.Zoom.fill(0);
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
    forgetMap();
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

  bool hasMapLevels() const { return !doc.FileName.empty() && doc.Levels > 0; }

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

  // True when a row was written and differs from what it held. Moving to another entry unbinds
  // the form; a save or a generation keeps it bound, so that edits made afterwards are stored
  // like any other.
  enum class Binding { Release, Keep };
  bool storeRule(Binding binding = Binding::Release) {
    std::optional<RuleRecord> row = edited();
    if (!row) return false;
    RuleRecord& stored = *md.find(bound->id, bound->type);
    const bool changed = !(stored == *row);
    stored = std::move(*row);
    if (binding == Binding::Release)
      bound.reset();
    else
      shown = editor;
    return changed;
  }

  // Edits on the page "Objects" not yet stored count as unsaved work.
  bool pendingEdits() const { return bound && md.find(bound->id, bound->type) && editor != shown; }
};

}  // namespace visual
