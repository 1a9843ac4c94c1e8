#include "gui/io/workspace_state.h"

#include "gui/io/map_scan.h"
#include "gui/model/zoom_labels.h"

namespace visual {

void Workspace::State::rebuildTree() {
  resetTree();
  for (const RuleRecord& row : md.rows()) {
    if (!row.Used || row.Type < 0 || row.Type >= kKindCount) continue;
    const std::string text = row.Id + " [" + std::to_string(row.Count) + "] " + row.eName;
    tree[static_cast<std::size_t>(row.Type + 1)].children.push_back({text, row.Type, row.Id, {}});
  }
  sortTree();
}

void Workspace::State::showRule(const TreeEntry& entry) {
  if (!busy) bound = TypeKey{entry.id, entry.kind};
  EditorState& e = editor;
  e.levelItems.clear();
  for (int i = 0; i + 1 < doc.NewLevels && i < kLevelSlots; ++i) {
    const int bits = doc.NewLevel[static_cast<std::size_t>(i)];
    e.levelItems.push_back(std::to_string(i) + ":" + std::to_string(bits) + " " + zoomLabel(bits));
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

void Workspace::State::forgetMap() {
  md.forgetCounts();
  doc.ID.clear();
  doc.Name.clear();
  doc.TypeSet.clear();
  doc.CopyRight.clear();
  doc.Levels = 0;
  doc.Level.fill(0);
  doc.Zoom.fill(0);
}

Workspace::State::ScanResult Workspace::State::scan(std::string path) {
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

void Workspace::State::showSelection() {
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

void Workspace::State::select(TreePath path) {
  if (busy || !entryAt(path)) return;
  if (path.child >= 0) {
    storeRule();
    modified = true;
  }
  selection = path;
  showSelection();
}

std::optional<RuleRecord> Workspace::State::edited() const {
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

bool Workspace::State::storeRule(Binding binding) {
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

}  // namespace visual
