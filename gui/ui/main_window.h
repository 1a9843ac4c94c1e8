#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "gui/io/user_interface.h"
#include "gui/io/workspace.h"

class QLabel;
class QLineEdit;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace visual {

class GenerationDialog;
class HeaderPage;
class LevelPicker;
class MapPane;
class MapFileDialog;
class ObjectsPage;
class ProgressPanel;

/// Where the main window keeps its settings and what it falls back on.
struct MainWindowSetup {
  /// Path of visualzarvex.ini.
  std::string iniPath;
  /// The converter used when the ini file names none.
  std::string converterPath;
  /// The folder of type files used when the ini file names none.
  std::string typesFolder;
  /// When set, answers every message, question and dialog instead of the windows.
  UserInterface* dialogs = nullptr;
};

/// The main window (TForm1): shows the Workspace and turns the user's clicks into its actions.
class MainWindow final : public QMainWindow, public UserInterface {
  Q_OBJECT

 public:
  explicit MainWindow(const MainWindowSetup& setup, QWidget* parent = nullptr);
  ~MainWindow() override;

  Workspace& workspace() { return *workspace_; }
  LevelPicker* levelPicker() const { return levelPicker_; }
  GenerationDialog* generationDialog() const { return generationDialog_; }
  MapFileDialog* mapFileDialog() const { return mapFileDialog_; }
  MapPane* mapPane() const { return mapPane_; }

  void showMessage(const std::string& text) override;
  void showError(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  Answer askYesNoCancel(const std::string& text) override;
  std::optional<std::string> chooseOpenFile(const FileDialogSpec& request) override;
  std::optional<std::string> chooseSaveFile(const FileDialogSpec& request,
                                            const std::string& proposedName) override;
  std::optional<std::string> chooseMapFile(const std::string& message,
                                           const std::string& fileField) override;
  bool showGenerationDialog(GenerationSettings& settings) override;
  std::optional<int> pickLevel(int bits) override;
  void progressChanged(int pos, int max) override;
  void showStatusPath(const std::string& path) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QToolBar* buildToolBar();
  QWidget* buildPages();
  void buildStatusBar();
  void buildMapPane(QToolBar* bar);
  void startUp(const MainWindowSetup& setup);
  bool startConverter(const ConverterRun& run);

  /// Writes the page "Objects" into the Workspace, runs `action`, and shows the outcome.
  template <typename Action>
  void act(Action action);
  void writeEditor();
  void commitFolder();
  void refresh();
  void rebuildTree();
  void fitTreeWidth();
  void restoreLayout();
  void keepLayout();
  void syncTree();
  void treeSelectionChanged(QTreeWidgetItem* current);
  void chooseFolder();
  QWidget* dialogParent();
  QString folderOfMap() const;

  std::unique_ptr<Workspace> workspace_;
  UserInterface* dialogs_;
  int shownTreeRevision_ = -1;
  bool refreshing_ = false;
  std::vector<std::vector<QTreeWidgetItem*>> treeItems_;

  QToolButton* bSave_ = nullptr;
  QToolButton* bGenerate_ = nullptr;
  QLineEdit* dirDat_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QTreeWidget* tv_ = nullptr;
  QTabWidget* nb_ = nullptr;
  HeaderPage* headerPage_ = nullptr;
  ObjectsPage* objectsPage_ = nullptr;
  QLabel* statusPath_ = nullptr;
  ProgressPanel* progress_ = nullptr;
  LevelPicker* levelPicker_ = nullptr;
  GenerationDialog* generationDialog_ = nullptr;
  MapFileDialog* mapFileDialog_ = nullptr;
  MapPane* mapPane_ = nullptr;
  QLabel* statusObject_ = nullptr;
};

}  // namespace visual
