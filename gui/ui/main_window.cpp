#include "gui/ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "gui/io/shell.h"
#include "gui/model/names.h"
#include "gui/ui/conversion_log.h"
#include "gui/ui/file_dialogs.h"
#include "gui/ui/file_field.h"
#include "gui/ui/generation_dialog.h"
#include "gui/ui/header_page.h"
#include "gui/ui/help_page.h"
#include "gui/ui/level_picker.h"
#include "gui/ui/map_file_dialog.h"
#include "gui/ui/map_pane.h"
#include "gui/ui/native_path.h"
#include "gui/ui/objects_page.h"
#include "gui/ui/preview_style.h"
#include "gui/ui/progress_panel.h"
#include "gui/ui/shown_text.h"

namespace visual {

namespace {

const char kCaption[] = "Visual CFG creator for zarvex 0.04b";
// The default folder of the platform the settings files were first written on; it never exists
// here, so it stands for "no folder set".
const char kForeignDefaultFolder[] = "C:\\Program Files\\MapEdit";

constexpr int kRootRole = Qt::UserRole;
constexpr int kChildRole = Qt::UserRole + 1;

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& text) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(text);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return button;
}

QWidget* scrolled(QWidget* page) {
  auto* area = new QScrollArea;
  area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
  area->setWidget(page);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  return area;
}

}  // namespace

MainWindow::MainWindow(const MainWindowSetup& setup, QWidget* parent)
    : QMainWindow(parent), workspace_(std::make_unique<Workspace>(*this)), dialogs_(setup.dialogs) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QString::fromUtf8(kCaption));
  QGuiApplication::setApplicationDisplayName(QString::fromUtf8(kCaption));
  resize(848, 581);

  QToolBar* bar = buildToolBar();
  addToolBar(Qt::TopToolBarArea, bar);
  setCentralWidget(buildPages());
  buildStatusBar();
  buildMapPane(bar);

  levelPicker_ = new LevelPicker(this);
  generationDialog_ = new GenerationDialog(*workspace_, this);
  connect(generationDialog_, &GenerationDialog::runFinished, this,
          [this](const ConversionReport& report) {
            refresh();
            if (!report.error.empty()) showError(report.error);
          });
  mapFileDialog_ = new MapFileDialog(this);

  startUp(setup);
}

MainWindow::~MainWindow() = default;

QToolBar* MainWindow::buildToolBar() {
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->toggleViewAction()->setVisible(false);

  auto* bNew = toolButton(bar, QStringLiteral("bNew"), QStringLiteral("Новый"));
  auto* bLoad = toolButton(bar, QStringLiteral("bLoad"), QStringLiteral("Загрузить"));
  bSave_ = toolButton(bar, QStringLiteral("bSave"), QStringLiteral("Сохранить"));
  bGenerate_ = toolButton(bar, QStringLiteral("bGenerate"), QStringLiteral("Генерация"));
  bSave_->setEnabled(false);
  bGenerate_->setEnabled(false);
  for (QToolButton* button : {bNew, bLoad, bSave_, bGenerate_}) bar->addWidget(button);
  bar->addSeparator();

  auto* folder = new QWidget(bar);
  auto* row = new QHBoxLayout(folder);
  row->setContentsMargins(4, 0, 4, 0);
  row->setSpacing(4);
  auto* label = new QLabel(QStringLiteral("Путь к файлам type-*.dat от MapEditа:"), folder);
  dirDat_ = new QLineEdit(folder);
  dirDat_->setObjectName(QStringLiteral("DirDAT"));
  label->setBuddy(dirDat_);
  auto* browse = toolButton(folder, QStringLiteral("DirDATBrowse"), QStringLiteral("..."));
  row->addWidget(label);
  row->addWidget(dirDat_, 1);
  row->addWidget(browse);
  bar->addWidget(folder);

  connect(bNew, &QToolButton::clicked, this,
          [this] { act([this] { workspace_->newDocument(); }); });
  connect(bLoad, &QToolButton::clicked, this, [this] { act([this] { workspace_->load(); }); });
  connect(bSave_, &QToolButton::clicked, this, [this] { act([this] { workspace_->save(); }); });
  connect(bGenerate_, &QToolButton::clicked, this,
          [this] { act([this] { workspace_->generate(); }); });
  connect(dirDat_, &QLineEdit::editingFinished, this, &MainWindow::commitFolder);
  connect(browse, &QToolButton::clicked, this, &MainWindow::chooseFolder);
  return bar;
}

QWidget* MainWindow::buildPages() {
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName(QStringLiteral("Splitter1"));
  splitter->setChildrenCollapsible(false);
  splitter_ = splitter;

  tv_ = new QTreeWidget(splitter);
  tv_->setObjectName(QStringLiteral("tv"));
  tv_->setHeaderHidden(true);
  // Long type names scroll sideways instead of being cut.
  tv_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tv_->header()->setStretchLastSection(false);
  tv_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tv_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tv_->setSelectionMode(QAbstractItemView::SingleSelection);
  // The Workspace keeps the entries sorted by text; a second sort here could disagree with it.
  tv_->setSortingEnabled(false);
  // The bound object type stays marked while the user works on its page.
  QPalette palette = tv_->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  tv_->setPalette(palette);
  connect(tv_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { treeSelectionChanged(current); });

  nb_ = new QTabWidget(splitter);
  nb_->setObjectName(QStringLiteral("nb"));
  headerPage_ = new HeaderPage;
  objectsPage_ = new ObjectsPage;
  HelpPage* description = HelpPage::description(nullptr);
  HelpPage* changes = HelpPage::changes(nullptr);
  // Tab order is the order of Page.
  nb_->addTab(scrolled(headerPage_), QStringLiteral("Header"));
  nb_->addTab(scrolled(objectsPage_), QStringLiteral("Objects"));
  nb_->addTab(description, QStringLiteral("Default"));
  nb_->addTab(changes, QStringLiteral("Changes"));

  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({200, 648});

  connect(nb_, &QTabWidget::currentChanged, this, [this](int index) {
    if (refreshing_ || index < 0) return;
    act([this, index] { workspace_->showPage(static_cast<Page>(index)); });
  });
  connect(description->button(), &QPushButton::clicked, this,
          [this] { act([this] { workspace_->showPage(Page::Changes); }); });
  connect(changes->button(), &QPushButton::clicked, this,
          [this] { act([this] { workspace_->showPage(Page::Default); }); });

  headerPage_->fileField()->setChooser([this](const QString&) -> std::optional<QString> {
    const std::optional<std::string> path =
        chooseOpenFile({"Укажите файл карты", "MAP Polish format|*.MP", ""});
    if (!path) return std::nullopt;
    return shownPath(*path);
  });
  connect(headerPage_->fileField(), &FileField::chosen, this,
          [this](const std::optional<QString>& path) {
            std::optional<std::string> chosen;
            if (path) chosen = nativePath(*path);
            act([this, &chosen] { workspace_->openMap(chosen); });
            tv_->setFocus();
          });
  connect(headerPage_, &HeaderPage::changeLevel, this,
          [this](int row) { act([this, row] { workspace_->changeLevel(row); }); });
  connect(headerPage_, &HeaderPage::insertLevelBefore, this,
          [this](int row) { act([this, row] { workspace_->insertLevelBefore(row); }); });
  connect(headerPage_, &HeaderPage::deleteLevel, this,
          [this](int row) { act([this, row] { workspace_->deleteLevel(row); }); });
  connect(headerPage_, &HeaderPage::defaultLevels, this,
          [this] { act([this] { workspace_->defaultLevels(); }); });

  objectsPage_->setItemSource([this](int list) {
    // The entries depend on the kinds chosen on the page, which the Workspace reads from it.
    writeEditor();
    QStringList items;
    for (const std::string& item : workspace_->objectTypeItems(list)) {
      items << shownText(item, workspace_->codePage());
    }
    return items;
  });
  return splitter;
}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("sb"));
  bar->setSizeGripEnabled(true);
  statusPath_ = new QLabel(bar);
  statusPath_->setObjectName(QStringLiteral("sbPath"));
  statusPath_->setFixedWidth(600);
  statusPath_->setTextFormat(Qt::PlainText);
  progress_ = new ProgressPanel(bar);
  auto* fixed = new QLabel(QStringLiteral("zarvex 0.04b"), bar);
  fixed->setObjectName(QStringLiteral("sbInfo"));
  bar->addWidget(statusPath_);
  bar->addWidget(progress_);
  bar->addWidget(fixed, 1);
}

void MainWindow::buildMapPane(QToolBar* bar) {
  // Only the page's controls are read: the folder field is committed when the user leaves it.
  mapPane_ = new MapPane([this] {
    objectsPage_->writeState(workspace_->editor(), workspace_->codePage());
    return workspace_->previewInputs();
  });
  auto* dock = new QDockWidget(QStringLiteral("Карта"), this);
  dock->setObjectName(QStringLiteral("dockMap"));
  dock->setWidget(mapPane_);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  dock->hide();
  QAction* toggle = dock->toggleViewAction();
  bar->addSeparator();
  bar->addAction(toggle);
  bar->widgetForAction(toggle)->setObjectName(QStringLiteral("bMap"));
  // Shown by the user (not by a restored layout, which keeps its sizes), the map gets room beside
  // the pages as far as the screen has it, rather than taking theirs.
  connect(toggle, &QAction::triggered, this, [this, dock](bool shown) {
    if (!shown || dock->isFloating()) return;
    constexpr int kMapWidth = 600, kPagesWidth = 848;
    const int pages = width();
    const QSize frame = frameGeometry().size() - size();
    const QSize room = screen()->availableGeometry().size() - frame;
    const int wanted = std::min(pages + kMapWidth, room.width());
    const int tall = std::max(height(), std::min(720, room.height()));
    resize(std::max(wanted, width()), tall);
    const int map = std::max({300, wanted - pages, std::min(kMapWidth, width() - kPagesWidth)});
    // Once the wider window is laid out, or the pages keep what the dock would get.
    QTimer::singleShot(0, dock, [this, dock, map] { resizeDocks({dock}, {map}, Qt::Horizontal); });
  });
  statusObject_ = new QLabel(statusBar());
  statusObject_->setObjectName(QStringLiteral("sbObject"));
  statusObject_->setTextFormat(Qt::PlainText);
  statusBar()->insertWidget(2, statusObject_);
  connect(mapPane_, &MapPane::objectClicked, this, [this](int kind, int type, const QString& text) {
    statusObject_->setText(text);
    if (const auto path = treePathOf(*workspace_, kind, type))
      act([this, &path] { workspace_->select(*path); });
  });
}

void MainWindow::startUp(const MainWindowSetup& setup) {
  workspace_->setShellStarter([this](const ConverterRun& run) { return startConverter(run); });
  workspace_->setDefaultConverterPath(setup.converterPath);
  workspace_->setCatalogueFolder(setup.typesFolder);
  if (!setup.iniPath.empty()) workspace_->loadIni(setup.iniPath);
  const std::string& folder = workspace_->catalogueFolder();
  if (folder.empty() || folder == kForeignDefaultFolder) {
    workspace_->setCatalogueFolder(setup.typesFolder);
  }
  dirDat_->setText(shownPath(workspace_->catalogueFolder()));
  restoreLayout();
  workspace_->showPage(Page::Default);
  refresh();
}

void MainWindow::restoreLayout() {
  const WindowLayout& layout = workspace_->windowLayout();
  const auto bytes = [](const std::string& text) {
    return QByteArray::fromBase64(QByteArray::fromStdString(text));
  };
  if (layout.geometry.empty()) return;
  restoreGeometry(bytes(layout.geometry));
  restoreState(bytes(layout.state));
  splitter_->restoreState(bytes(layout.splitter));
}

void MainWindow::keepLayout() {
  const auto text = [](const QByteArray& bytes) { return bytes.toBase64().toStdString(); };
  workspace_->setWindowLayout(
      {text(saveGeometry()), text(saveState()), text(splitter_->saveState())});
}

// Names of types are long ("0x17 [1] городской парк"): the tree widens to show them whole, up to
// two fifths of the window and as far as the page "Objects" keeps its own width, and never
// narrows by itself, so a width the user chose stays.
void MainWindow::fitTreeWidth() {
  // QTreeView's own override (indentation counted) is protected; the view's is public.
  const QAbstractItemView* view = tv_;
  const int wanted = view->sizeHintForColumn(0) + 2 * tv_->frameWidth() +
                     tv_->verticalScrollBar()->sizeHint().width() + 8;
  QList<int> sizes = splitter_->sizes();
  const int pageRoom =
      splitter_->width() - splitter_->handleWidth() - 16 - objectsPage_->minimumSizeHint().width();
  const int limit = std::max(200, std::min(width() * 2 / 5, pageRoom));
  if (sizes.size() != 2 || sizes[0] >= std::min(wanted, limit)) return;
  const int total = sizes[0] + sizes[1];
  sizes[0] = std::min(wanted, limit);
  sizes[1] = total - sizes[0];
  splitter_->setSizes(sizes);
}

bool MainWindow::startConverter(const ConverterRun& run) {
  if (run.inTerminal && terminalAvailable()) return startConversion(run);
  return generationDialog_->startRun(run);
}

template <typename Action>
void MainWindow::act(Action action) {
  writeEditor();
  action();
  refresh();
}

void MainWindow::writeEditor() {
  commitFolder();
  objectsPage_->writeState(workspace_->editor(), workspace_->codePage());
}

void MainWindow::commitFolder() {
  const std::string folder = nativePath(dirDat_->text());
  if (folder == workspace_->catalogueFolder()) return;
  workspace_->setCatalogueFolder(folder);
  workspace_->saveIni();
}

void MainWindow::chooseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Директорий определений TYPE DAT"), dirDat_->text());
  if (folder.isEmpty()) return;
  dirDat_->setText(QDir::toNativeSeparators(folder));
  commitFolder();
}

void MainWindow::refresh() {
  refreshing_ = true;
  const int codePage = workspace_->codePage();
  bSave_->setEnabled(workspace_->saveEnabled());
  // One conversion at a time: the next generation would replace the files it reads.
  bGenerate_->setEnabled(workspace_->generateEnabled() && !generationDialog_->running());
  const bool rebuilt = workspace_->treeRevision() != shownTreeRevision_;
  if (rebuilt) rebuildTree();
  syncTree();
  // After syncTree, which sets the bold font that makes the entries wider.
  if (rebuilt) fitTreeWidth();
  headerPage_->showView(workspace_->headerView(), codePage);
  objectsPage_->showState(workspace_->editor(), codePage);
  QString type;
  if (const std::optional<ShownType> shown = workspace_->shownType()) {
    type = shownText(shown->id, codePage) + QStringLiteral(" — ") +
           QString::fromStdString(kindListName(shown->kind));
    if (!shown->eName.empty()) type += QStringLiteral(" — ") + shownText(shown->eName, codePage);
  }
  objectsPage_->showType(type);
  nb_->setCurrentIndex(static_cast<int>(workspace_->page()));
  progress_->setProgress(workspace_->progressPos(), workspace_->progressMax());
  mapPane_->showWorkspace(*workspace_);
  refreshing_ = false;
}

void MainWindow::rebuildTree() {
  const int codePage = workspace_->codePage();
  const QSignalBlocker blocker(tv_);
  tv_->clear();
  treeItems_.clear();
  const std::vector<TreeEntry>& roots = workspace_->tree();
  for (std::size_t r = 0; r < roots.size(); ++r) {
    auto* root = new QTreeWidgetItem(tv_, {shownText(roots[r].text, codePage)});
    root->setData(0, kRootRole, static_cast<int>(r));
    root->setData(0, kChildRole, -1);
    std::vector<QTreeWidgetItem*> items{root};
    for (std::size_t c = 0; c < roots[r].children.size(); ++c) {
      auto* child = new QTreeWidgetItem(root, {shownText(roots[r].children[c].text, codePage)});
      child->setData(0, kRootRole, static_cast<int>(r));
      child->setData(0, kChildRole, static_cast<int>(c));
      items.push_back(child);
    }
    treeItems_.push_back(std::move(items));
  }
  tv_->expandAll();
  shownTreeRevision_ = workspace_->treeRevision();
}

void MainWindow::syncTree() {
  const QSignalBlocker blocker(tv_);
  for (std::size_t r = 0; r < treeItems_.size(); ++r) {
    for (std::size_t c = 1; c < treeItems_[r].size(); ++c) {
      QTreeWidgetItem* item = treeItems_[r][c];
      const bool bold = workspace_->isBold({static_cast<int>(r), static_cast<int>(c) - 1});
      if (item->font(0).bold() == bold) continue;
      QFont font = item->font(0);
      font.setBold(bold);
      item->setFont(0, font);
    }
  }
  QTreeWidgetItem* current = nullptr;
  if (const std::optional<TreePath> path = workspace_->selection()) {
    const auto root = static_cast<std::size_t>(path->root);
    const auto child = static_cast<std::size_t>(path->child + 1);
    if (path->root >= 0 && root < treeItems_.size() && child < treeItems_[root].size()) {
      current = treeItems_[root][child];
    }
  }
  if (current) {
    tv_->setCurrentItem(current);
    tv_->scrollToItem(current);
  } else {
    tv_->setCurrentItem(nullptr);
    tv_->clearSelection();
  }
}

void MainWindow::treeSelectionChanged(QTreeWidgetItem* current) {
  if (refreshing_ || !current) return;
  const TreePath path{current->data(0, kRootRole).toInt(), current->data(0, kChildRole).toInt()};
  act([this, path] { workspace_->select(path); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (generationDialog_->running()) {
    if (!askYesNo("Конвертация ещё идёт. Прервать её?")) {
      event->ignore();
      return;
    }
    generationDialog_->log()->stop();
  }
  writeEditor();
  const bool close = workspace_->queryClose();
  refresh();
  if (!close) {
    event->ignore();
    return;
  }
  keepLayout();
  workspace_->saveIni();
  mapPane_->stop();
  event->accept();
}

QWidget* MainWindow::dialogParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return this;
}

QString MainWindow::folderOfMap() const {
  const std::string& map = workspace_->document().FileName;
  if (map.empty()) return {};
  return QFileInfo(shownPath(map)).absolutePath();
}

void MainWindow::showMessage(const std::string& text) {
  if (dialogs_) return dialogs_->showMessage(text);
  QMessageBox box(QMessageBox::Information, windowTitle(), QString::fromStdString(text),
                  QMessageBox::Ok, dialogParent());
  box.setObjectName(QStringLiteral("message"));
  box.exec();
}

void MainWindow::showError(const std::string& text) {
  if (dialogs_) return dialogs_->showError(text);
  QMessageBox box(QMessageBox::Critical, windowTitle(), QString::fromStdString(text),
                  QMessageBox::Ok, dialogParent());
  box.setObjectName(QStringLiteral("error"));
  box.exec();
}

bool MainWindow::askYesNo(const std::string& text) {
  if (dialogs_) return dialogs_->askYesNo(text);
  QMessageBox box(QMessageBox::Question, windowTitle(), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, dialogParent());
  box.setObjectName(QStringLiteral("question"));
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

UserInterface::Answer MainWindow::askYesNoCancel(const std::string& text) {
  if (dialogs_) return dialogs_->askYesNoCancel(text);
  QMessageBox box(QMessageBox::Question, windowTitle(), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, dialogParent());
  box.setObjectName(QStringLiteral("question"));
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

std::optional<std::string> MainWindow::chooseOpenFile(const FileDialogSpec& request) {
  if (dialogs_) return dialogs_->chooseOpenFile(request);
  const std::optional<QString> path =
      runFileDialog(dialogParent(), request, FileDialogMode::Open, folderOfMap());
  if (!path) return std::nullopt;
  return nativePath(*path);
}

std::optional<std::string> MainWindow::chooseSaveFile(const FileDialogSpec& request,
                                                      const std::string& proposedName) {
  if (dialogs_) return dialogs_->chooseSaveFile(request, proposedName);
  // A bare proposed name is put beside the map, where the user's work usually lives.
  QString start = shownPath(proposedName);
  const QString folder = folderOfMap();
  if (!folder.isEmpty() && QFileInfo(start).isRelative()) start = QDir(folder).filePath(start);
  const std::optional<QString> path =
      runFileDialog(dialogParent(), request, FileDialogMode::Save, start);
  if (!path) return std::nullopt;
  return nativePath(*path);
}

std::optional<std::string> MainWindow::chooseMapFile(const std::string& message,
                                                     const std::string& fileField) {
  if (dialogs_) return dialogs_->chooseMapFile(message, fileField);
  const std::optional<QString> path =
      mapFileDialog_->choose(QString::fromStdString(message), shownPath(fileField));
  if (!path) return std::nullopt;
  return nativePath(*path);
}

bool MainWindow::showGenerationDialog(GenerationSettings& settings) {
  if (dialogs_) return dialogs_->showGenerationDialog(settings);
  return generationDialog_->run(settings);
}

std::optional<int> MainWindow::pickLevel(int bits) {
  if (dialogs_) return dialogs_->pickLevel(bits);
  return levelPicker_->pick(bits);
}

void MainWindow::progressChanged(int pos, int max) {
  progress_->setProgress(pos, max);
  if (dialogs_) dialogs_->progressChanged(pos, max);
}

void MainWindow::showStatusPath(const std::string& path) {
  const QString text = shownPath(path);
  statusPath_->setToolTip(text);
  statusPath_->setText(
      statusPath_->fontMetrics().elidedText(text, Qt::ElideMiddle, statusPath_->width() - 8));
  statusPath_->repaint();
  if (dialogs_) dialogs_->showStatusPath(path);
}

}  // namespace visual
