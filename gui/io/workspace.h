#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/io/level_preview.h"
#include "gui/io/shell.h"
#include "gui/io/user_interface.h"
#include "gui/model/editor_state.h"
#include "gui/model/map_info.h"
#include "gui/model/rule_record.h"

namespace visual {

/// The values of the generation dialog.
struct GenerationSettings {
  std::string fnTXT;
  std::string fnCFG;
  std::string fnBAT;
  std::string fnNewMP;
  std::string fnZARVEX;
  bool cbRun = true;
  /// Run in a terminal window (where there is one) rather than in the dialog.
  bool cbTerminal = false;
};

/// One entry of the object type tree. Roots have an empty `id`; "FileHeader" has kind -1.
struct TreeEntry {
  std::string text;  // bytes in the document code page
  int kind = -1;
  std::string id;
  std::vector<TreeEntry> children;
};

/// Position of an entry in the tree: root index, and child index or -1 for the root itself.
struct TreePath {
  int root = -1;
  int child = -1;
  bool operator==(const TreePath&) const = default;
};

/// The pages of the main window.
enum class Page { Header, Objects, Default, Changes };

/// What the page "Header" shows. The fields are bytes in the document code page (the path is the
/// system's own); the level rows are the program's own texts in UTF-8.
struct HeaderView {
  std::string eID, eName, eTypeSet, mCopyright, eFilename;
  /// Rows of lvLevels and lvNewLevels, four columns each ("Level", "Bits", "GPS zoom",
  /// "MapSource zoom").
  std::vector<std::array<std::string, 4>> levels, newLevels;
  /// In UTF-8: why the converter has to read the map leniently, or where it stops; empty when
  /// it reads the map as it is.
  std::string readNote;
  /// "Город умолч..." can act: a map with levels of its own is open.
  bool defaultLevelsEnabled = false;
};

/// Where the main window was left, as the windows save it (opaque text), kept in the ini file.
struct WindowLayout {
  std::string geometry;
  std::string state;
  std::string splitter;
};

/// The object type whose rule the page "Objects" shows; the name in the document code page.
struct ShownType {
  std::string id;
  int kind = -1;
  std::string eName;
};

/// The window program's logic: it owns the document and offers every action as a plain function.
/// The windows show what it holds, write the controls of the page "Objects" into editor() before
/// any action, and refresh themselves from it afterwards.
class Workspace {
 public:
  explicit Workspace(UserInterface& ui);
  ~Workspace();

  // Start-up and settings kept across runs (visualzarvex.ini).
  /// Reads the ini file at `iniPath` (DirDAT, the converter's path, the run choices, the window
  /// layout).
  void loadIni(const std::string& iniPath);
  /// Writes the catalogue folder, the generation choices and the window layout to the ini file.
  void saveIni() const;
  const WindowLayout& windowLayout() const;
  void setWindowLayout(const WindowLayout& layout);
  const std::string& catalogueFolder() const;
  void setCatalogueFolder(const std::string& folder);
  /// The converter path used when the ini file has none.
  void setDefaultConverterPath(const std::string& path);
  /// Replaces the platform layer that starts the generated conversion (true when it started).
  void setShellStarter(std::function<bool(const ConverterRun&)> start);

  // Actions of the main window.
  /// "Новый".
  void newDocument();
  /// A file was chosen in the header page's file field; nothing when its dialog was cancelled.
  void openMap(const std::optional<std::string>& path);
  /// Tree selection moves to `path` (stores the bound rule first when moving to a child).
  void select(TreePath path);
  /// Level edits on the selected row of lvNewLevels.
  void changeLevel(int row);
  void insertLevelBefore(int row);
  void deleteLevel(int row);
  /// "Город умолч...".
  void defaultLevels();
  /// Entries of an object type list as it opens (bytes in the document code page): 0 for
  /// cbObjectChange, n for cbObjectChange<n>.
  std::vector<std::string> objectTypeItems(int list) const;
  /// "Сохранить"; also used by the close query.
  void save();
  /// "Загрузить".
  void load();
  /// "Генерация".
  void generate();
  /// The button "Создать" of the generation dialog; true when the dialog may close with OK.
  bool confirmCreate(const GenerationSettings& settings);
  /// The close request; true when the window may close.
  bool queryClose();

  // State for the windows.
  const MapInfo& document() const;
  const std::vector<RuleRecord>& rules() const;
  const std::vector<TreeEntry>& tree() const;
  /// Changes whenever the tree is rebuilt, so the windows rebuild theirs only then.
  int treeRevision() const;
  std::optional<TreePath> selection() const;
  /// True when the child entry at `path` is drawn in bold (its row is marked New).
  bool isBold(TreePath path) const;
  Page page() const;
  void showPage(Page page);
  HeaderView headerView() const;
  EditorState& editor();
  /// The type bound to the page "Objects"; nothing when none is.
  std::optional<ShownType> shownType() const;
  bool saveEnabled() const;
  bool generateEnabled() const;
  bool busy() const;
  bool modified() const;
  int progressPos() const;
  int progressMax() const;
  /// The document code page (1251 unless the ini file says otherwise).
  int codePage() const;
  /// What the map view converts: the document, the rules with the page "Objects"'s edits
  /// as generation would store them, in generation's order, and how the map reads.
  PreviewInputs previewInputs();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace visual
