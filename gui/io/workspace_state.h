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
#include "gui/io/shell.h"
#include "gui/io/text_util.h"
#include "gui/io/workspace.h"
#include "gui/model/catalogue.h"
#include "gui/model/names.h"
#include "gui/model/rule_table.h"
#include "gui/model/type_key.h"

namespace visual {

struct Workspace::State {
  /// The message for a catalogue folder without type files, naming it.
  static std::string noTypeFiles(const std::string& folder) {
    std::string text = "Установите путь к файлам type-*.dat программы MapEdit!!";
    if (!folder.empty()) text += "\nВ папке " + folder + " их нет";
    return text;
  }
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

  /// The tree: the four roots and a child for each row marked Used, sorted by text.
  void rebuildTree();

  std::optional<TreePath> fileHeaderPath() const {
    for (std::size_t i = 0; i < tree.size(); ++i)
      if (tree[i].kind < 0) return TreePath{static_cast<int>(i), -1};
    return std::nullopt;
  }

  /// Fills the editor for `entry` from its row and binds the row (not while busy).
  void showRule(const TreeEntry& entry);

  // What a scan reads comes from the map it reads alone; the rules stay, hidden until a map
  // holds their types again.
  void forgetMap();

  /// Reads the map at `path`, asking for it again while it is not there.
  ScanResult scan(std::string path);

  /// Shows the page of the selected entry.
  void showSelection();

  /// Moves the selection; a move to a child stores the bound rule first.
  void select(TreePath path);

  void resetProgress() { progress(0); }

  bool hasMapLevels() const { return !doc.FileName.empty() && doc.Levels > 0; }

  // The bound row as Store rule would leave it; nothing when no row is bound.
  std::optional<RuleRecord> edited() const;

  // True when a row was written and differs from what it held. Moving to another entry unbinds
  // the form; a save or a generation keeps it bound, so that edits made afterwards are stored
  // like any other.
  enum class Binding { Release, Keep };
  bool storeRule(Binding binding = Binding::Release);

  // Edits on the page "Objects" not yet stored count as unsaved work.
  bool pendingEdits() const { return bound && md.find(bound->id, bound->type) && editor != shown; }
};

}  // namespace visual
