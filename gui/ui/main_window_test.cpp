#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "gui/io/fake_user_interface.h"
#include "gui/ui/conversion_log.h"
#include "gui/ui/file_field.h"
#include "gui/ui/generation_dialog.h"
#include "gui/ui/main_window.h"
#include "gui/ui/object_type_combo.h"
#include "gui/ui/progress_panel.h"
#include "gui/ui/ui_test_support.h"

namespace visual {

namespace {

const QString kTestData = QStringLiteral(VISUAL_UI_TESTDATA);

QStringList itemsOf(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

QStringList childrenOf(const QTreeWidgetItem* root) {
  QStringList texts;
  for (int i = 0; i < root->childCount(); ++i) texts << root->child(i)->text(0);
  return texts;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startsOnTheDescriptionWithNothingToSave();
  void helpButtonsSwitchPages();
  void newNeedsTypeFilesInTheFolder();
  void newShowsTheHeaderWithDefaultLevels();
  void openingAMapShowsItsHeaderAndTypes();
  void headerTellsWhenTheMapNeedsLenientReading();
  void cancelledMapDialogKeepsTheField();
  void movingThroughTheTreeStoresAndUnbolds();
  void rootWithChildrenSelectsTheFirstChild();
  void editorListsFollowTheKind_data();
  void editorListsFollowTheKind();
  void controlsAreWrittenBackIntoTheRule_data();
  void controlsAreWrittenBackIntoTheRule();
  void visibilityChoiceEnablesTheLevelLists();
  void clearButtonsEmptyTheirList();
  void objectTypeListOffersTheChosenKind();
  void typingOpensTheObjectTypeList();
  void levelEditsGoThroughThePicker();
  void saveAndLoadRoundTrip();
  void generateWritesTheFiles();
  void editsAfterSavingAreKept();
  void countsBelongToTheOpenMap();
  void conversionRunsInTheGenerationDialog();
  void aRunGoingHoldsTheNextAndAsksBeforeClosing();
  void closeQuery_data();
  void closeQuery();
  void closingUnmodifiedAsksNothing();
  void layoutFitsTheTypesAndIsKept();

 private:
  template <typename T>
  T* find(const QString& name) const {
    return window_->findChild<T*>(name);
  }
  void click(const QString& name);
  void newDocument();
  void openMap();
  QTreeWidgetItem* treeItem(const QString& root, const QString& prefix) const;
  void clickTree(QTreeWidgetItem* item);
  void pick(const QString& list, int index);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<FakeUserInterface> fake_;
  std::unique_ptr<MainWindow> window_;
  QString map_;
};

void MainWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  map_ = dir_->filePath(QStringLiteral("town.mp"));
  QVERIFY(QFile::copy(kTestData + QStringLiteral("/town.mp"), map_));
  fake_ = std::make_unique<FakeUserInterface>();
  MainWindowSetup setup;
  setup.iniPath = dir_->filePath(QStringLiteral("visualzarvex.ini")).toStdString();
  setup.converterPath = dir_->filePath(QStringLiteral("zarvex")).toStdString();
  setup.typesFolder = (kTestData + QStringLiteral("/types")).toStdString();
  setup.dialogs = fake_.get();
  window_ = std::make_unique<MainWindow>(setup);
  window_->workspace().setShellStarter([](const ConverterRun&) { return true; });
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup() {
  if (fake_) QCOMPARE(fake_->unexpected, std::vector<std::string>());
  // Leave without the close query: each test states its own expectations about it.
  window_->workspace().setShellStarter({});
  window_.reset();
  fake_.reset();
  dir_.reset();
}

void MainWindowTest::click(const QString& name) {
  auto* button = find<QAbstractButton>(name);
  QVERIFY2(button, qPrintable(name));
  QVERIFY2(button->isEnabled(), qPrintable(name));
  QTest::mouseClick(button, Qt::LeftButton);
}

void MainWindowTest::newDocument() {
  click(QStringLiteral("bNew"));
}

void MainWindowTest::openMap() {
  newDocument();
  fake_->openFiles.push_back(map_.toStdString());
  auto* field = find<FileField>(QStringLiteral("eFilename"));
  QVERIFY(field);
  QTest::mouseClick(field->browseButton(), Qt::LeftButton);
}

QTreeWidgetItem* MainWindowTest::treeItem(const QString& root, const QString& prefix) const {
  auto* tv = find<QTreeWidget>(QStringLiteral("tv"));
  for (int r = 0; r < tv->topLevelItemCount(); ++r) {
    QTreeWidgetItem* top = tv->topLevelItem(r);
    if (top->text(0) != root) continue;
    if (prefix.isEmpty()) return top;
    for (int c = 0; c < top->childCount(); ++c) {
      if (top->child(c)->text(0).startsWith(prefix)) return top->child(c);
    }
  }
  return nullptr;
}

void MainWindowTest::clickTree(QTreeWidgetItem* item) {
  QVERIFY(item);
  auto* tv = find<QTreeWidget>(QStringLiteral("tv"));
  tv->scrollToItem(item);
  QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, tv->visualItemRect(item).center());
}

void MainWindowTest::pick(const QString& list, int index) {
  auto* combo = find<QComboBox>(list);
  QVERIFY2(combo, qPrintable(list));
  QVERIFY2(index < combo->count(), qPrintable(list));
  combo->setCurrentIndex(index);
}

void MainWindowTest::startsOnTheDescriptionWithNothingToSave() {
  QCOMPARE(window_->objectName(), QStringLiteral("TForm1"));
  QCOMPARE(window_->windowTitle(), QStringLiteral("Visual CFG creator for zarvex 0.04b"));
  QCOMPARE(QGuiApplication::applicationDisplayName(), window_->windowTitle());
  QCOMPARE(window_->size(), QSize(848, 581));
  QCOMPARE(find<QTabWidget>(QStringLiteral("nb"))->currentWidget()->objectName(),
           QStringLiteral("Default"));
  QVERIFY(!find<QToolButton>(QStringLiteral("bSave"))->isEnabled());
  QVERIFY(!find<QToolButton>(QStringLiteral("bGenerate"))->isEnabled());
  QCOMPARE(find<QTreeWidget>(QStringLiteral("tv"))->topLevelItemCount(), 0);
  QCOMPARE(find<QLineEdit>(QStringLiteral("DirDAT"))->text(), kTestData + QStringLiteral("/types"));
}

void MainWindowTest::helpButtonsSwitchPages() {
  auto* nb = find<QTabWidget>(QStringLiteral("nb"));
  click(QStringLiteral("Button2"));
  QCOMPARE(nb->currentWidget()->objectName(), QStringLiteral("Changes"));
  QCOMPARE(window_->workspace().page(), Page::Changes);
  click(QStringLiteral("Button1"));
  QCOMPARE(nb->currentWidget()->objectName(), QStringLiteral("Default"));
  QCOMPARE(window_->workspace().page(), Page::Default);
}

void MainWindowTest::newNeedsTypeFilesInTheFolder() {
  auto* folder = find<QLineEdit>(QStringLiteral("DirDAT"));
  folder->clear();
  typeText(folder, dir_->path());
  // No Enter: the folder typed must still count when the tool button is clicked.
  newDocument();
  QCOMPARE(fake_->messages,
           std::vector<std::string>{"Установите путь к файлам type-*.dat программы MapEdit!!\n"
                                    "В папке " +
                                    dir_->path().toStdString() + " их нет"});
  QCOMPARE(find<QTreeWidget>(QStringLiteral("tv"))->topLevelItemCount(), 0);
  QVERIFY(!find<QToolButton>(QStringLiteral("bSave"))->isEnabled());

  // The folder is kept across runs.
  QFile ini(dir_->filePath(QStringLiteral("visualzarvex.ini")));
  QVERIFY(ini.open(QIODevice::ReadOnly));
  QVERIFY(ini.readAll().contains(dir_->path().toUtf8()));
}

void MainWindowTest::newShowsTheHeaderWithDefaultLevels() {
  newDocument();
  auto* tv = find<QTreeWidget>(QStringLiteral("tv"));
  QStringList roots;
  for (int i = 0; i < tv->topLevelItemCount(); ++i) roots << tv->topLevelItem(i)->text(0);
  QCOMPARE(roots, (QStringList{"FileHeader", "Points", "Polygone", "Polyline"}));
  QCOMPARE(tv->currentItem(), tv->topLevelItem(0));
  QCOMPARE(find<QTabWidget>(QStringLiteral("nb"))->currentWidget()->objectName(),
           QStringLiteral("HeaderScroll"));
  QVERIFY(find<QToolButton>(QStringLiteral("bSave"))->isEnabled());
  QVERIFY(!find<QToolButton>(QStringLiteral("bGenerate"))->isEnabled());
  // No map, no levels of its own to count down from.
  QCOMPARE(find<QTreeWidget>(QStringLiteral("lvNewLevels"))->topLevelItemCount(), 1);
  QVERIFY(!find<QPushButton>(QStringLiteral("bCityDef"))->isEnabled());
  QVERIFY(!window_->workspace().modified());
}

void MainWindowTest::openingAMapShowsItsHeaderAndTypes() {
  openMap();
  QCOMPARE(find<QLineEdit>(QStringLiteral("eName"))->text(), QStringLiteral("Тестовый город"));
  QCOMPARE(find<QLineEdit>(QStringLiteral("eID"))->text(), QStringLiteral("20260001"));
  QCOMPARE(find<QLineEdit>(QStringLiteral("eTypeSet"))->text(), QStringLiteral("Test"));
  QCOMPARE(find<FileField>(QStringLiteral("eFilename"))->text(), map_);
  QCOMPARE(find<QLabel>(QStringLiteral("sbPath"))->toolTip(), map_);

  auto* levels = find<QTreeWidget>(QStringLiteral("lvLevels"));
  QCOMPARE(levels->topLevelItemCount(), 3);
  QCOMPARE(levels->topLevelItem(0)->text(1), QStringLiteral("24"));
  QCOMPARE(levels->topLevelItem(0)->text(2), QStringLiteral("120 м "));
  auto* newLevels = find<QTreeWidget>(QStringLiteral("lvNewLevels"));
  QCOMPARE(newLevels->topLevelItemCount(), 5);
  QCOMPARE(newLevels->topLevelItem(4)->text(1), QStringLiteral("16"));
  QCOMPARE(newLevels->topLevelItem(4)->text(2), QStringLiteral("20 км - 30 км"));

  QCOMPARE(childrenOf(treeItem("Polyline", {})),
           (QStringList{"0x01 [2] major highway", "0x16 [1] тропа"}));
  QCOMPARE(childrenOf(treeItem("Polygone", {})), QStringList{"0x01 [1] город"});
  QCOMPARE(childrenOf(treeItem("Points", {})), QStringList{"0x2f06 [1] мост"});
  QVERIFY(treeItem("Polyline", "0x16")->font(0).bold());
  QVERIFY(find<QToolButton>(QStringLiteral("bGenerate"))->isEnabled());
  QVERIFY(window_->workspace().modified());
  QCOMPARE(find<ProgressPanel>(QStringLiteral("progress"))->pos(), 0);
  QVERIFY(!fake_->progress.empty());
}

void MainWindowTest::headerTellsWhenTheMapNeedsLenientReading() {
  openMap();
  auto* note = find<QLabel>(QStringLiteral("lReadNote"));
  QVERIFY(note);
  QVERIFY(!note->isVisible());

  QFile town(map_);
  QVERIFY(town.open(QIODevice::ReadOnly));
  QByteArray text = town.readAll();
  text.insert(text.indexOf("Levels="), "MG=Y\nTransparent=N\n");
  const QString lenient = dir_->filePath(QStringLiteral("lenient.mp"));
  QFile copy(lenient);
  QVERIFY(copy.open(QIODevice::WriteOnly));
  copy.write(text);
  copy.close();
  fake_->openFiles.push_back(lenient.toStdString());
  QTest::mouseClick(find<FileField>(QStringLiteral("eFilename"))->browseButton(), Qt::LeftButton);
  QVERIFY(note->isVisible());
  QCOMPARE(note->text(),
           QStringLiteral("Карта читается только в мягком режиме (--lenient): MG, Transparent"));

  fake_->openFiles.push_back(map_.toStdString());
  QTest::mouseClick(find<FileField>(QStringLiteral("eFilename"))->browseButton(), Qt::LeftButton);
  QVERIFY(!note->isVisible());
}

void MainWindowTest::cancelledMapDialogKeepsTheField() {
  openMap();
  fake_->openFiles.push_back(std::nullopt);
  QTest::mouseClick(find<FileField>(QStringLiteral("eFilename"))->browseButton(), Qt::LeftButton);
  QCOMPARE(find<FileField>(QStringLiteral("eFilename"))->text(), map_);
  QCOMPARE(window_->workspace().document().FileName, map_.toStdString());
}

void MainWindowTest::movingThroughTheTreeStoresAndUnbolds() {
  openMap();
  clickTree(treeItem("Polyline", "0x01"));
  auto* nb = find<QTabWidget>(QStringLiteral("nb"));
  QCOMPARE(nb->currentWidget()->objectName(), QStringLiteral("ObjectsScroll"));
  QVERIFY(treeItem("Polyline", "0x01")->font(0).bold());
  QCOMPARE(find<QTreeWidget>(QStringLiteral("tv"))->currentItem(), treeItem("Polyline", "0x01"));

  clickTree(treeItem("Polyline", "0x16"));
  QVERIFY(!treeItem("Polyline", "0x01")->font(0).bold());
  QVERIFY(treeItem("Polyline", "0x16")->font(0).bold());
  QVERIFY(window_->workspace().modified());
  QCOMPARE(find<QTreeWidget>(QStringLiteral("tv"))->currentItem(), treeItem("Polyline", "0x16"));

  clickTree(treeItem("FileHeader", {}));
  QCOMPARE(nb->currentWidget()->objectName(), QStringLiteral("HeaderScroll"));
}

void MainWindowTest::rootWithChildrenSelectsTheFirstChild() {
  openMap();
  clickTree(treeItem("Polygone", {}));
  QCOMPARE(find<QTreeWidget>(QStringLiteral("tv"))->currentItem(), treeItem("Polygone", "0x01"));
  QCOMPARE(find<QTabWidget>(QStringLiteral("nb"))->currentWidget()->objectName(),
           QStringLiteral("ObjectsScroll"));
}

void MainWindowTest::editorListsFollowTheKind_data() {
  QTest::addColumn<QString>("root");
  QTest::addColumn<QString>("code");
  QTest::addColumn<QStringList>("kinds");
  QTest::addColumn<QStringList>("params");
  QTest::addColumn<bool>("conditions");
  QTest::newRow("polyline") << "Polyline"
                            << "0x01" << QStringList{"Полигон", "Точка"}
                            << QStringList{"Длинна", "Высота", "Ширина"} << true;
  QTest::newRow("polygon") << "Polygone"
                           << "0x01" << QStringList{"Полилиния", "Точка"}
                           << QStringList{"Площадь", "Высота", "Ширина"} << true;
  QTest::newRow("point") << "Points"
                         << "0x2f06" << QStringList{"Полилиния", "Полигон"}
                         << QStringList{"Площадь", "Длинна", "Высота", "Ширина"} << false;
}

void MainWindowTest::editorListsFollowTheKind() {
  QFETCH(QString, root);
  QFETCH(QString, code);
  QFETCH(QStringList, kinds);
  QFETCH(QStringList, params);
  QFETCH(bool, conditions);
  openMap();
  clickTree(treeItem(root, code));
  const QStringList levels{"0:24 120 м ", "1:22 500 м", "2:20 2 км", "3:18 5 км - 8 км"};
  for (const char* list : {"cbVisibleFrom", "cbVisibleTo", "cbVisibleFrom1", "cbVisibleTo3"}) {
    QCOMPARE(itemsOf(find<QComboBox>(list)), levels);
  }
  for (const char* list : {"cbTypeChange", "cbTypeChange1", "cbTypeChange3"}) {
    QCOMPARE(itemsOf(find<QComboBox>(list)), kinds);
  }
  QCOMPARE(itemsOf(find<QComboBox>("cbParam2")), params);
  QCOMPARE(itemsOf(find<QComboBox>("cbCond1")), (QStringList{"<", "<=", "=", ">=", ">"}));
  QCOMPARE(find<QComboBox>("cbCond1")->currentIndex(), 0);
  for (const char* box : {"chCond1", "chCond2", "chCond3"}) {
    QCOMPARE(find<QCheckBox>(box)->isEnabled(), conditions);
  }
}

void MainWindowTest::controlsAreWrittenBackIntoTheRule_data() {
  QTest::addColumn<QString>("root");
  QTest::addColumn<QString>("code");
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("kindChoice");
  QTest::addColumn<int>("storedKind");
  QTest::addColumn<int>("paramChoice");
  QTest::addColumn<int>("storedParam");
  QTest::newRow("polyline") << "Polyline"
                            << "0x16" << 0 << 0 << 1 << 0 << 1;
  QTest::newRow("polygon") << "Polygone"
                           << "0x01" << 1 << 1 << 2 << 0 << 0;
  QTest::newRow("point") << "Points"
                         << "0x2f06" << 2 << 1 << 1 << 3 << 3;
}

void MainWindowTest::controlsAreWrittenBackIntoTheRule() {
  QFETCH(QString, root);
  QFETCH(QString, code);
  QFETCH(int, type);
  QFETCH(int, kindChoice);
  QFETCH(int, storedKind);
  QFETCH(int, paramChoice);
  QFETCH(int, storedParam);
  openMap();
  clickTree(treeItem(root, code));

  click("rbVisibleNotAll");
  pick("cbVisibleFrom", 1);
  pick("cbVisibleTo", 3);
  click("chNameChange");
  typeText(find<QLineEdit>("eNameChange"), QStringLiteral("Новое имя"));
  click("chNameChangeEmpty");
  click("chNameAdd");
  typeText(find<QLineEdit>("eNameAdd"), QStringLiteral(" (д)"));
  click("chTypeChange");
  pick("cbTypeChange", kindChoice);
  click("chObjectChange");
  typeText(find<QComboBox>("cbObjectChange")->lineEdit(), QStringLiteral("0x2f06:мост"));
  typeText(find<QLineEdit>("eAdd"), QStringLiteral("label+=\"!\";"));
  if (type != 2) click("chCond2");
  pick("cbParam2", paramChoice);
  pick("cbCond2", 4);
  typeText(find<QLineEdit>("eValue2"), QStringLiteral("5000"));
  pick("cbVisibleFrom2", 2);
  pick("cbTypeChange2", 0);
  typeText(find<QComboBox>("cbObjectChange2")->lineEdit(), QStringLiteral("0x50"));

  clickTree(treeItem("FileHeader", {}));
  clickTree(treeItem("Polyline", "0x01"));

  const RuleRecord* row = nullptr;
  for (const RuleRecord& r : window_->workspace().rules()) {
    if (QString::fromStdString(r.Id) == code && r.Type == type) row = &r;
  }
  QVERIFY(row);
  QVERIFY(!row->New);
  QVERIFY(!row->chVisibleAlways);
  QCOMPARE(row->cbVisibleFrom, 1);
  QCOMPARE(row->cbVisibleTo, 3);
  QVERIFY(row->chNameChange);
  QCOMPARE(row->eNameChange, std::string("\xcd\xee\xe2\xee\xe5 \xe8\xec\xff"));  // cp1251
  QVERIFY(row->chNameChangeEmpty);
  QVERIFY(row->chNameAdd);
  QCOMPARE(row->eNameAdd, std::string(" (\xe4)"));
  QVERIFY(row->chTypeChange);
  QCOMPARE(row->cbTypeChange, storedKind);
  QVERIFY(row->chObjectChange);
  QCOMPARE(row->cbObjectChange, std::string("0x2f06:\xec\xee\xf1\xf2"));
  QCOMPARE(row->eAdd, std::string("label+=\"!\";"));
  const RuleCondition& c = row->cond[1];
  QCOMPARE(c.chCond, type != 2);
  QCOMPARE(c.cbParam, storedParam);
  QCOMPARE(c.cbCond, 4);
  QCOMPARE(c.eValue, std::string("5000"));
  QCOMPARE(c.cbVisibleFrom, 2);
  QCOMPARE(c.cbVisibleTo, -1);
  QCOMPARE(c.cbTypeChange, type == 0 ? 1 : 0);
  QCOMPARE(c.cbObjectChange, std::string("0x50"));
  QVERIFY(!row->cond[0].chCond);

  // Shown again, the rule comes back into the same controls.
  clickTree(treeItem(root, code));
  QVERIFY(find<QRadioButton>("rbVisibleNotAll")->isChecked());
  QCOMPARE(find<QComboBox>("cbVisibleTo")->currentIndex(), 3);
  QCOMPARE(find<QLineEdit>("eNameChange")->text(), QStringLiteral("Новое имя"));
  QCOMPARE(find<QComboBox>("cbTypeChange")->currentIndex(), kindChoice);
  QCOMPARE(find<QComboBox>("cbObjectChange")->currentText(), QStringLiteral("0x2f06:мост"));
  QCOMPARE(find<QComboBox>("cbParam2")->currentIndex(), paramChoice);
  QCOMPARE(find<QComboBox>("cbCond2")->currentIndex(), 4);
}

void MainWindowTest::visibilityChoiceEnablesTheLevelLists() {
  openMap();
  clickTree(treeItem("Polyline", "0x01"));
  auto* from = find<QComboBox>("cbVisibleFrom");
  auto* to = find<QComboBox>("cbVisibleTo");
  QVERIFY(find<QRadioButton>("rbVisibleAll")->isChecked());
  QVERIFY(!from->isEnabled() && !to->isEnabled());
  click("rbVisibleNotAll");
  QVERIFY(from->isEnabled() && to->isEnabled());
  QVERIFY(find<QToolButton>("_cbVisibleFrom")->isEnabled());
  click("rbVisibleAll");
  QVERIFY(!from->isEnabled() && !to->isEnabled());
}

void MainWindowTest::clearButtonsEmptyTheirList() {
  openMap();
  clickTree(treeItem("Polyline", "0x01"));
  click("rbVisibleNotAll");
  const QStringList picks{"cbVisibleFrom",  "cbVisibleTo",  "cbTypeChange",
                          "cbVisibleFrom1", "cbVisibleTo2", "cbTypeChange3"};
  for (const QString& list : picks) {
    pick(list, 1);
    click(u'_' + list);
    QCOMPARE(find<QComboBox>(list)->currentIndex(), -1);
  }
  for (const char* list : {"cbObjectChange", "cbObjectChange1", "cbObjectChange3"}) {
    typeText(find<QComboBox>(list)->lineEdit(), QStringLiteral("0x16:тропа"));
    click(QStringLiteral("_") + QLatin1String(list));
    QCOMPARE(find<QComboBox>(list)->currentText(), QString());
  }
}

void MainWindowTest::objectTypeListOffersTheChosenKind() {
  openMap();
  clickTree(treeItem("Polyline", "0x01"));
  auto* list = find<ObjectTypeCombo>("cbObjectChange");
  list->showPopup();
  QCOMPARE(itemsOf(list), (QStringList{"0x01:major highway", "0x16:тропа"}));
  list->hidePopup();

  // A kind chosen beside the list counts only while its box is checked.
  pick("cbTypeChange", 0);
  list->showPopup();
  QCOMPARE(itemsOf(list), (QStringList{"0x01:major highway", "0x16:тропа"}));
  list->hidePopup();
  click("chTypeChange");
  list->showPopup();
  QCOMPARE(itemsOf(list), (QStringList{"0x01:город", "0x50:лес"}));
  list->hidePopup();

  auto* third = find<ObjectTypeCombo>("cbObjectChange3");
  pick("cbTypeChange3", 1);
  third->showPopup();
  QCOMPARE(itemsOf(third), (QStringList{"0x0100:большой город", "0x2f06:мост"}));
  third->hidePopup();
}

void MainWindowTest::typingOpensTheObjectTypeList() {
  openMap();
  clickTree(treeItem("Points", "0x2f06"));
  auto* list = find<ObjectTypeCombo>("cbObjectChange1");
  list->setFocus();
  typeText(list, QStringLiteral("мо"));
  QTRY_VERIFY_WITH_TIMEOUT(list->completer()->popup()->isVisible(), 120000);
  QCOMPARE(list->completer()->completionCount(), 1);
  QCOMPARE(list->completer()->currentCompletion(), QStringLiteral("0x2f06:мост"));
  QCOMPARE(list->currentText(), QStringLiteral("мо"));
}

void MainWindowTest::levelEditsGoThroughThePicker() {
  openMap();
  clickTree(treeItem("Polyline", "0x01"));
  clickTree(treeItem("FileHeader", {}));
  auto* lv = find<QTreeWidget>("lvNewLevels");
  for (const char* button : {"bAdd", "bDel", "bChange"}) {
    QVERIFY(!find<QPushButton>(button)->isEnabled());
  }
  const auto bitsColumn = [lv] {
    QStringList bits;
    for (int i = 0; i < lv->topLevelItemCount(); ++i) bits << lv->topLevelItem(i)->text(1);
    return bits;
  };
  const auto selectRow = [lv](int row) {
    const QRect rect = lv->visualItemRect(lv->topLevelItem(row));
    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, rect.center());
  };

  selectRow(2);
  QVERIFY(find<QPushButton>("bChange")->isEnabled());
  fake_->picks = {23};
  click("bChange");
  QCOMPARE(fake_->pickedFrom, std::vector<int>{20});
  QCOMPARE(bitsColumn(), (QStringList{"24", "22", "23", "18", "16"}));
  QCOMPARE(lv->topLevelItem(2)->text(2), QStringLiteral("200 м - 300 м"));

  fake_->picks = {std::nullopt};
  selectRow(2);
  QTest::mouseDClick(lv->viewport(), Qt::LeftButton, {},
                     lv->visualItemRect(lv->topLevelItem(2)).center());
  QCOMPARE(fake_->pickedFrom, (std::vector<int>{20, 23}));
  QCOMPARE(bitsColumn(), (QStringList{"24", "22", "23", "18", "16"}));

  fake_->picks = {21};
  selectRow(1);
  click("bAdd");
  QCOMPARE(bitsColumn(), (QStringList{"24", "21", "22", "23", "18", "16"}));
  QCOMPARE(lv->topLevelItem(2)->text(3), QStringLiteral("Zoom2=2"));

  selectRow(3);
  click("bDel");
  QCOMPARE(bitsColumn(), (QStringList{"24", "21", "22", "18", "16"}));

  // Level 0 keeps the map's own bits.
  selectRow(0);
  for (const char* button : {"bAdd", "bDel", "bChange"}) {
    QVERIFY2(!find<QPushButton>(button)->isEnabled(), button);
  }

  click("bCityDef");
  QCOMPARE(bitsColumn(), (QStringList{"24", "22", "20", "18", "16"}));
  QVERIFY(window_->workspace().modified());
}

void MainWindowTest::saveAndLoadRoundTrip() {
  openMap();
  clickTree(treeItem("Polyline", "0x16"));
  click("chNameAdd");
  typeText(find<QLineEdit>("eNameAdd"), QStringLiteral(" тропа"));
  const QString work = dir_->filePath(QStringLiteral("town.set"));
  fake_->saveFiles.push_back(work.toStdString());
  click("bSave");
  QCOMPARE(fake_->proposedNames, std::vector<std::string>{"town.set"});
  QVERIFY(QFile::exists(work));
  QVERIFY(!window_->workspace().modified());

  // Something else on screen, then the work comes back.
  newDocument();
  fake_->openFiles.push_back(work.toStdString());
  click("bLoad");
  QVERIFY(!window_->workspace().modified());
  QVERIFY(find<QToolButton>("bGenerate")->isEnabled());
  QCOMPARE(find<QLineEdit>("eName")->text(), QStringLiteral("Тестовый город"));
  QVERIFY(!treeItem("Polyline", "0x16")->font(0).bold());
  QVERIFY(treeItem("Polyline", "0x01")->font(0).bold());
  clickTree(treeItem("Polyline", "0x16"));
  QVERIFY(find<QCheckBox>("chNameAdd")->isChecked());
  QCOMPARE(find<QLineEdit>("eNameAdd")->text(), QStringLiteral(" тропа"));
  QVERIFY(fake_->messages.empty());
}

void MainWindowTest::generateWritesTheFiles() {
  openMap();
  clickTree(treeItem("Polyline", "0x01"));
  click("rbVisibleNotAll");
  pick("cbVisibleFrom", 1);
  const QString base = dir_->filePath(QStringLiteral("town"));
  GenerationSettings shown;
  fake_->generationDialog = [this, &shown](GenerationSettings& settings) {
    shown = settings;
    settings.cbRun = false;
    return window_->workspace().confirmCreate(settings);
  };

  click("bGenerate");
  QCOMPARE(fake_->messages, std::vector<std::string>{"Укажите путь к файлу zarvex!!\n" +
                                                     shown.fnZARVEX + ": файл не найден"});
  QVERIFY(!QFile::exists(base + QStringLiteral(".cfg")));
  QCOMPARE(shown.fnTXT, (base + QStringLiteral(".txt")).toStdString());
  QCOMPARE(shown.fnNewMP, (base + QStringLiteral("_multilevel.mp")).toStdString());
  QCOMPARE(shown.fnZARVEX, dir_->filePath(QStringLiteral("zarvex")).toStdString());

  QFile converter(dir_->filePath(QStringLiteral("zarvex")));
  QVERIFY(converter.open(QIODevice::WriteOnly));
  converter.close();
  fake_->messages.clear();
  click("bGenerate");
  QCOMPARE(fake_->messages, std::vector<std::string>{"Все файлы созданы"});
  for (const char* suffix : {".txt", ".cfg", ".bat"}) {
    QVERIFY2(QFile::exists(base + QString::fromLatin1(suffix)), suffix);
  }
  QFile script(base + QStringLiteral(".cfg"));
  QVERIFY(script.open(QIODevice::ReadOnly));
  const QByteArray text = script.readAll();
  QVERIFY(text.contains("case type=0x01"));
  QVERIFY(text.contains("layer_min=1;"));

  // Run chosen, the files are there already, and the batch file does not start.
  std::vector<std::string> started;
  window_->workspace().setShellStarter([&started](const ConverterRun& run) {
    started.push_back(run.batchFile);
    return false;
  });
  fake_->generationDialog = [this](GenerationSettings& settings) {
    settings.cbRun = true;
    return window_->workspace().confirmCreate(settings);
  };
  fake_->yesNo = {true};
  fake_->messages.clear();
  click("bGenerate");
  QCOMPARE(fake_->questions, std::vector<std::string>{"Переписать файлы?"});
  QCOMPARE(started, std::vector<std::string>{(base + QStringLiteral(".bat")).toStdString()});
  QCOMPARE(fake_->messages, std::vector<std::string>{"Батник не запустился, выполните вручную!\n" +
                                                     started.front()});
}

void MainWindowTest::editsAfterSavingAreKept() {
  openMap();
  clickTree(treeItem("Polyline", "0x16"));
  const QString work = dir_->filePath(QStringLiteral("town.set"));
  fake_->saveFiles.push_back(work.toStdString());
  click("bSave");
  click("chNameChange");
  typeText(find<QLineEdit>("eNameChange"), QStringLiteral("Река"));
  fake_->saveFiles.push_back(work.toStdString());
  fake_->yesNo = {true};
  click("bSave");
  QFile saved(work);
  QVERIFY(saved.open(QIODevice::ReadOnly));
  const QByteArray text = saved.readAll();
  QVERIFY(text.contains("chNameChange=1"));
  QVERIFY(text.contains("eNameChange=\xd0\xe5\xea\xe0"));  // cp1251

  // Edited after the save, then away and back: the edit is still there, and counts as unsaved.
  click("chNameAdd");
  clickTree(treeItem("Polyline", "0x01"));
  clickTree(treeItem("Polyline", "0x16"));
  QVERIFY(find<QCheckBox>("chNameAdd")->isChecked());
  QCOMPARE(find<QLineEdit>("eNameChange")->text(), QStringLiteral("Река"));
  fake_->yesNoCancel = {UserInterface::Answer::Cancel};
  QVERIFY(!window_->close());
}

void MainWindowTest::countsBelongToTheOpenMap() {
  openMap();
  fake_->openFiles.push_back(map_.toStdString());
  QTest::mouseClick(find<FileField>(QStringLiteral("eFilename"))->browseButton(), Qt::LeftButton);
  QCOMPARE(childrenOf(treeItem("Polyline", {})),
           (QStringList{"0x01 [2] major highway", "0x16 [1] тропа"}));

  const QString other = dir_->filePath(QStringLiteral("other.mp"));
  QFile file(other);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(
      "[IMG ID]\nID=42\nName=Other\nLevels=1\nLevel0=22\nZoom0=0\n[END-IMG ID]\n"
      "[POLYLINE]\nType=0x16\n[END]\n");
  file.close();
  newDocument();
  fake_->openFiles.push_back(other.toStdString());
  QTest::mouseClick(find<FileField>(QStringLiteral("eFilename"))->browseButton(), Qt::LeftButton);
  QCOMPARE(childrenOf(treeItem("Polyline", {})), QStringList{"0x16 [1] тропа"});
  QCOMPARE(childrenOf(treeItem("Points", {})), QStringList{});
  QCOMPARE(find<QLineEdit>(QStringLiteral("eID"))->text(), QStringLiteral("42"));
  QCOMPARE(find<QLineEdit>(QStringLiteral("eTypeSet"))->text(), QString());
  QCOMPARE(find<QPlainTextEdit>(QStringLiteral("mCopyright"))->toPlainText(), QString());
}

void MainWindowTest::conversionRunsInTheGenerationDialog() {
  openMap();
  GenerationDialog* dialog = window_->generationDialog();
  window_->workspace().setShellStarter(
      [dialog](const ConverterRun& run) { return dialog->startRun(run); });
  fake_->generationDialog = [this](GenerationSettings& settings) {
    settings.fnZARVEX = ZARVEX_BINARY;
    settings.cbRun = true;
    settings.cbTerminal = false;
    fake_->yesNo = {true};
    return window_->workspace().confirmCreate(settings);
  };
  auto* status = dialog->findChild<QLabel*>(QStringLiteral("lRunStatus"));
  QVERIFY(status);

  click("bGenerate");
  QVERIFY(dialog->isVisible());
  QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Конвертация завершена"), 120000);
  QVERIFY(dialog->log()->text().contains(QStringLiteral("Processing: ") + map_));
  QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("town_multilevel.mp"))));
  QVERIFY(find<QToolButton>("bGenerate")->isEnabled());
  QVERIFY(fake_->errors.empty());

  // A map the converter stops on: the error names it and the line.
  QFile map(map_);
  QVERIFY(map.open(QIODevice::Append));
  map.write("\n[POI]\nType=4.7\n[END]\n");
  map.close();
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
  QVERIFY(!dialog->isVisible());
  click("bGenerate");
  QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Ошибка конвертации, код 1"), 120000);
  QCOMPARE(fake_->errors.size(), std::size_t{1});
  const QString error = QString::fromStdString(fake_->errors.front());
  QVERIFY2(error.startsWith(QStringLiteral("Ошибка конвертации, код 1\nОшибка в файле ") + map_ +
                            QStringLiteral(", строка ")),
           qPrintable(error));
  dialog->close();
}

void MainWindowTest::aRunGoingHoldsTheNextAndAsksBeforeClosing() {
  openMap();
  const QString slow = dir_->filePath(QStringLiteral("slow-zarvex"));
  QFile script(slow);
  QVERIFY(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nexec sleep 60\n");
  script.close();
  QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  GenerationDialog* dialog = window_->generationDialog();
  window_->workspace().setShellStarter(
      [dialog](const ConverterRun& run) { return dialog->startRun(run); });
  fake_->generationDialog = [this, &slow](GenerationSettings& settings) {
    settings.fnZARVEX = slow.toStdString();
    settings.cbRun = true;
    return window_->workspace().confirmCreate(settings);
  };
  click("bGenerate");
  QVERIFY(dialog->running());
  QVERIFY(!find<QToolButton>("bGenerate")->isEnabled());

  fake_->yesNo = {false};
  QVERIFY(!window_->close());
  QVERIFY(dialog->running());
  fake_->yesNo = {true};
  fake_->yesNoCancel = {UserInterface::Answer::No};
  QVERIFY(window_->close());
  QCOMPARE(fake_->questions.front(), std::string("Конвертация ещё идёт. Прервать её?"));
  QTRY_VERIFY_WITH_TIMEOUT(!dialog->running(), 60000);
  QCOMPARE(dialog->log()->status(), QStringLiteral("Конвертация прервана"));
  QVERIFY(fake_->errors.empty());
}

void MainWindowTest::closeQuery_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("saveChosen");
  QTest::addColumn<bool>("closes");
  QTest::newRow("yes, saved") << int(UserInterface::Answer::Yes) << true << true;
  QTest::newRow("yes, save cancelled") << int(UserInterface::Answer::Yes) << false << false;
  QTest::newRow("no") << int(UserInterface::Answer::No) << false << true;
  QTest::newRow("cancel") << int(UserInterface::Answer::Cancel) << false << false;
}

void MainWindowTest::closeQuery() {
  QFETCH(int, answer);
  QFETCH(bool, saveChosen);
  QFETCH(bool, closes);
  openMap();
  fake_->yesNoCancel.push_back(static_cast<UserInterface::Answer>(answer));
  const QString work = dir_->filePath(QStringLiteral("town.set"));
  if (answer == int(UserInterface::Answer::Yes)) {
    fake_->saveFiles.push_back(saveChosen ? std::optional(work.toStdString()) : std::nullopt);
  }
  QCOMPARE(window_->close(), closes);
  QCOMPARE(fake_->questions, std::vector<std::string>{"Остались несохраненные данные. Сохранить?"});
  QCOMPARE(window_->isVisible(), !closes);
  QCOMPARE(QFile::exists(work), saveChosen);
}

void MainWindowTest::closingUnmodifiedAsksNothing() {
  QVERIFY(window_->close());
  window_->show();
  newDocument();
  QVERIFY(window_->close());
  QVERIFY(fake_->questions.empty());
}

void MainWindowTest::layoutFitsTheTypesAndIsKept() {
  openMap();
  clickTree(treeItem("Polyline", "0x16"));
  QCOMPARE(find<QLabel>("lType")->text(), QStringLiteral("0x16 — Полилиния — тропа"));

  // A long name widens the tree to show it whole, within two fifths of the window.
  QFile types(dir_->filePath(QStringLiteral("Type-Test.dat")));
  QVERIFY(types.open(QIODevice::WriteOnly));
  types.write(
      ".polyline\n0x20 \xf2\xf0\xee\xef\xe0 \xe2\xe4\xee\xeb\xfc "
      "\xe1\xe5\xf0\xe5\xe3\xe0 \xee\xe7\xe5\xf0\xe0 \xe8 "
      "\xe4\xe0\xeb\xfc\xf8\xe5\n");
  types.close();
  auto* folder = find<QLineEdit>(QStringLiteral("DirDAT"));
  folder->setText(dir_->path());
  newDocument();
  window_->resize(1280, 1024);
  QCoreApplication::processEvents();
  const QString trail = dir_->filePath(QStringLiteral("trail.mp"));
  QFile map(trail);
  QVERIFY(map.open(QIODevice::WriteOnly));
  map.write("[IMG ID]\nLevels=1\nLevel0=22\n[END-IMG ID]\n[POLYLINE]\nType=0x20\n[END]\n");
  map.close();
  fake_->openFiles.push_back(trail.toStdString());
  QTest::mouseClick(find<FileField>(QStringLiteral("eFilename"))->browseButton(), Qt::LeftButton);
  auto* tv = find<QTreeWidget>(QStringLiteral("tv"));
  QVERIFY(treeItem("Polyline", "0x20"));
  QVERIFY(treeItem("Polyline", "0x20")->text(0).endsWith(QStringLiteral("и дальше")));
  QTRY_VERIFY(tv->header()->sectionSize(0) <= tv->viewport()->width());
  QVERIFY(tv->width() > 200 && tv->width() <= window_->width() * 2 / 5);

  // Size and splitter come back at the next start.
  auto* splitter = find<QSplitter>(QStringLiteral("Splitter1"));
  window_->resize(1000, 700);
  splitter->setSizes({321, 679});
  const int treeWidth = splitter->sizes().first();
  window_->workspace().setShellStarter({});
  fake_->yesNoCancel = {UserInterface::Answer::No};
  QVERIFY(window_->close());
  MainWindowSetup setup;
  setup.iniPath = dir_->filePath(QStringLiteral("visualzarvex.ini")).toStdString();
  setup.typesFolder = (kTestData + QStringLiteral("/types")).toStdString();
  setup.dialogs = fake_.get();
  MainWindow again(setup);
  again.show();
  QVERIFY(QTest::qWaitForWindowExposed(&again));
  QCOMPARE(again.size(), QSize(1000, 700));
  QCOMPARE(again.findChild<QSplitter*>(QStringLiteral("Splitter1"))->sizes().first(), treeWidth);
}

}  // namespace visual

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QTranslator translator;
  visual::installRussian(translator);
  visual::MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
