#include "gui/io/workspace.h"

#include "gui/io/catalogue_reader.h"
#include "gui/io/workspace_state.h"
#include "gui/model/zoom_labels.h"

namespace visual {

namespace {

constexpr const char* kUnsaved = "Остались несохраненные данные. Сохранить?";

}  // namespace

Workspace::Workspace(UserInterface& ui) : state_(std::make_unique<State>(ui)) {}

Workspace::~Workspace() = default;

void Workspace::newDocument() {
  State& s = *state_;
  if (!hasTypeFiles(s.dirDAT)) {
    s.ui.showMessage(State::noTypeFiles(s.dirDAT));
    return;
  }
  s.busy = true;
  s.generateEnabled = false;
  s.md.forgetCounts();
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
  if (s.scan(*path) == State::ScanResult::Done) {
    defaultLevels();
    s.generateEnabled = true;
    s.modified = true;
  }
  s.resetProgress();
}

void Workspace::select(TreePath path) {
  state_->select(path);
}

std::vector<std::string> Workspace::objectTypeItems(int list) const {
  const State& s = *state_;
  const EditorState& e = s.editor;
  int kind = -1;
  if (s.selection) {
    if (const TreeEntry* entry = s.entryAt(*s.selection)) kind = entry->kind;
  }
  if (list >= 1 && list <= static_cast<int>(e.cond.size())) {
    const int chosen =
        State::valueAt(e.kindMap, e.cond[static_cast<std::size_t>(list - 1)].cbTypeChange);
    if (chosen >= 0) kind = chosen;
  } else if (list == 0 && e.chTypeChange) {
    const int chosen = State::valueAt(e.kindMap, e.cbTypeChange);
    if (chosen >= 0) kind = chosen;
  }
  return s.mdD.choices(kind);
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
  view.defaultLevelsEnabled = s.hasMapLevels();
  return view;
}

EditorState& Workspace::editor() {
  return state_->editor;
}

std::optional<ShownType> Workspace::shownType() const {
  const State& s = *state_;
  if (!s.bound) return std::nullopt;
  const RuleRecord* row = s.md.find(s.bound->id, s.bound->type);
  return ShownType{s.bound->id, s.bound->type, row ? row->eName : std::string()};
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

}  // namespace visual
