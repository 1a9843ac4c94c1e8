#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sstream>

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "gui/io/fake_user_interface.h"
#include "gui/io/preview_reader.h"
#include "gui/model/map_view.h"
#include "gui/ui/file_field.h"
#include "gui/ui/header_page.h"
#include "gui/ui/level_runner.h"
#include "gui/ui/main_window.h"
#include "gui/ui/map_canvas.h"
#include "gui/ui/map_pane.h"
#include "gui/ui/render_command.h"

namespace visual {

namespace {

const QString kExamples = QStringLiteral(VISUAL_UI_EXAMPLES);

}  // namespace

class MapPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void renderShowsWhatEachLevelKeeps();
  void renderRefusesWhatItCannotDraw_data();
  void renderRefusesWhatItCannotDraw();
  void selectingATypeHighlightsItAndAClickSelectsIt();
  void aNewerRunCancelsAnOlderOne();
  void levelsAreNamedAndAnEditRedoesThem();
  void anotherMapIsDrawnEvenWhenAskedAgainBeforeItIsRead();

 private:
  // Renders `level` of the example; the printed counts go to `printed`.
  QImage render(const QString& level, std::string* printed = nullptr);
  // True when a pixel within one of (lat, lon) on `image` is not the background.
  bool drawnAt(const QImage& image, double lat, double lon) const;
  // A window on the example's types and the built converter, asking `fake`.
  MainWindowSetup windowSetup(FakeUserInterface& fake) const;
  // The example's work as a level run takes it, with the built converter.
  void loadExample(PreviewInputs& inputs) const;

  std::unique_ptr<QTemporaryDir> dir_;
  QString set_;
  Viewport view_;
};

void MapPaneTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  // The work file names its map relative to the folder the command runs in.
  for (const char* name : {"town.mp", "town.set"})
    QVERIFY(QFile::copy(kExamples + "/" + name, dir_->filePath(name)));
  set_ = dir_->filePath(QStringLiteral("town.set"));
  QVERIFY(QDir::setCurrent(dir_->path()));
  qputenv("XDG_CONFIG_HOME", dir_->filePath(QStringLiteral("config")).toUtf8());
  SourcePreview source;
  std::string error;
  QVERIFY2(readSourcePreview(dir_->filePath("town.mp").toStdString(), source, &error),
           error.c_str());
  view_.resize(400, 300);
  view_.setMap(source.map.bounds);
}

void MapPaneTest::cleanup() {
  QDir::setCurrent(QDir::tempPath());
  dir_.reset();
}

QImage MapPaneTest::render(const QString& level, std::string* printed) {
  const QString png = dir_->filePath("level-" + level + ".png");
  std::ostringstream out, err;
  const int code = runRenderCommand(
      {"town.set", "--level", level.toStdString(), "--out", png.toStdString(), "--size", "400x300",
       "--types", (kExamples + "/types").toStdString(), "--zarvex", ZARVEX_BINARY},
      out, err);
  if (code != 0) qWarning("%s", err.str().c_str());
  if (printed) *printed = out.str();
  return code == 0 ? QImage(png) : QImage();
}

bool MapPaneTest::drawnAt(const QImage& image, double lat, double lon) const {
  const ScreenXY at = view_.toScreen({lon, lat});
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) {
      const QPoint p(static_cast<int>(at.x) + dx, static_cast<int>(at.y) + dy);
      if (image.valid(p) && image.pixelColor(p) != QColor(Qt::white)) return true;
    }
  return false;
}

MainWindowSetup MapPaneTest::windowSetup(FakeUserInterface& fake) const {
  MainWindowSetup setup;
  setup.iniPath = dir_->filePath(QStringLiteral("visualzarvex.ini")).toStdString();
  setup.converterPath = ZARVEX_BINARY;
  setup.typesFolder = (kExamples + "/types").toStdString();
  setup.dialogs = &fake;
  return setup;
}

void MapPaneTest::loadExample(PreviewInputs& inputs) const {
  FakeUserInterface fake;
  fake.openFiles.push_back(set_.toStdString());
  Workspace workspace(fake);
  workspace.setCatalogueFolder((kExamples + "/types").toStdString());
  workspace.load();
  QCOMPARE(fake.messages, std::vector<std::string>());
  inputs = workspace.previewInputs();
  inputs.converter = ZARVEX_BINARY;
}

void MapPaneTest::renderShowsWhatEachLevelKeeps() {
  std::string printed;
  const QImage source = render(QStringLiteral("source"), &printed);
  QVERIFY(!source.isNull());
  QCOMPARE(source.size(), QSize(400, 300));
  QCOMPARE(printed,
           std::string("Исходная карта: объектов 13, точек 41 (100.0% точек исходной карты)\n"));
  std::vector<QImage> levels;
  for (int level = 0; level < 5; ++level) {
    levels.push_back(render(QString::number(level)));
    QVERIFY(!levels.back().isNull());
  }
  render(QStringLiteral("4"), &printed);
  QCOMPARE(
      printed,
      std::string(
          "Уровень 4: 16 бит, 20 км - 30 км: объектов 3, точек 6 (14.6% точек исходной карты)\n"));

  // The highway is on every level.
  for (const QImage& image : levels) QVERIFY(drawnAt(image, 56.84575, 35.9105));
  // A street (levels 0 and 1), in the middle of its last segment.
  QVERIFY(drawnAt(levels[1], 56.84175, 35.90075));
  QVERIFY(!drawnAt(levels[2], 56.84175, 35.90075));
  // A building turned into a point at its centre, only on level 0.
  QVERIFY(drawnAt(levels[0], 56.843275, 35.9103));
  QVERIFY(!drawnAt(levels[1], 56.843275, 35.9103));
  // The lake is large enough for level 3, not for level 4; its island stays empty.
  QVERIFY(drawnAt(levels[3], 56.8470, 35.9270));
  QVERIFY(!drawnAt(levels[4], 56.8470, 35.9270));
  QVERIFY(!drawnAt(levels[0], 56.8485, 35.9300));
  for (int level = 1; level < 5; ++level) QVERIFY(levels[level] != levels[level - 1]);
}

void MapPaneTest::renderRefusesWhatItCannotDraw_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<QString>("message");
  const QString out = QStringLiteral("--out");
  QTest::newRow("no level") << QStringList{"town.set", out, "a.png"} << "Usage: ";
  QTest::newRow("bad size") << QStringList{"town.set", "--level", "0",  out,
                                           "a.png",    "--size",  "0x5"}
                            << "Usage: ";
  QTest::newRow("level beyond") << QStringList{"town.set", "--level", "5", out, "a.png"}
                                << "town.set: нет уровня 5 (уровней 5)";
  QTest::newRow("missing work file")
      << QStringList{"none.set", "--level", "source", out, "a.png"} << "none.set";
  QTest::newRow("converter missing")
      << QStringList{"town.set", "--level", "1", out, "a.png", "--zarvex", "/nonexistent/zarvex"}
      << "Укажите путь к файлу zarvex";
}

void MapPaneTest::renderRefusesWhatItCannotDraw() {
  QFETCH(QStringList, args);
  QFETCH(QString, message);
  std::vector<std::string> words;
  for (const QString& arg : args) words.push_back(arg.toStdString());
  words.insert(words.end(), {"--types", (kExamples + "/types").toStdString()});
  std::ostringstream out, err;
  QCOMPARE(runRenderCommand(words, out, err), 1);
  QVERIFY2(QString::fromStdString(err.str()).contains(message), err.str().c_str());
  QVERIFY(!QFile::exists(dir_->filePath("a.png")));
  QCOMPARE(out.str(), std::string());
}

void MapPaneTest::selectingATypeHighlightsItAndAClickSelectsIt() {
  FakeUserInterface fake;
  MainWindow window(windowSetup(fake));
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  fake.openFiles.push_back(dir_->filePath("town.mp").toStdString());
  window.findChild<FileField*>(QStringLiteral("eFilename"))->browseButton()->click();
  window.findChild<QToolButton*>(QStringLiteral("bMap"))->click();
  MapPane* pane = window.mapPane();
  QVERIFY(pane->isVisible());
  MapCanvas* canvas = pane->canvas();
  QTRY_VERIFY_WITH_TIMEOUT(canvas->map() && !pane->running(), 60000);
  QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cbMapLevel"))->count(), 6);

  // The lake, by its tree entry.
  auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tv"));
  QTreeWidgetItem* lake = nullptr;
  for (int r = 0; r < tree->topLevelItemCount(); ++r)
    for (int c = 0; c < tree->topLevelItem(r)->childCount(); ++c)
      if (tree->topLevelItem(r)->child(c)->text(0).startsWith(QStringLiteral("0x3c ")))
        lake = tree->topLevelItem(r)->child(c);
  QVERIFY(lake);
  const ScreenXY inLake = canvas->viewport().toScreen({35.9270, 56.8470});
  const QPoint at(static_cast<int>(inLake.x), static_cast<int>(inLake.y));
  const auto magentaNear = [&](const QImage& image) {
    for (int dx = -2; dx <= 2; ++dx)
      for (int dy = -2; dy <= 2; ++dy) {
        const QColor c = image.pixelColor(at + QPoint(dx, dy));
        if (c.red() > 200 && c.green() < 40 && c.blue() > 60 && c.blue() < 140) return true;
      }
    return false;
  };
  QVERIFY(!magentaNear(canvas->grab().toImage()));
  tree->setCurrentItem(lake);
  QCOMPARE(canvas->style().highlight, std::optional(std::pair(1, 0x3c)));
  QVERIFY(magentaNear(canvas->grab().toImage()));

  // A click on a street selects its entry and tells its type.
  tree->setCurrentItem(tree->topLevelItem(0));
  const ScreenXY street = canvas->viewport().toScreen({35.90075, 56.84175});
  QTest::mouseClick(canvas, Qt::LeftButton, {},
                    QPoint(static_cast<int>(street.x), static_cast<int>(street.y)));
  QVERIFY(tree->currentItem());
  QVERIFY2(tree->currentItem()->text(0).startsWith(QStringLiteral("0x06 ")),
           qPrintable(tree->currentItem()->text(0)));
  QVERIFY(window.findChild<QLabel*>(QStringLiteral("sbObject"))
              ->text()
              .contains(QStringLiteral("Type=0x6 (Полилиния)")));
  QCOMPARE(canvas->style().highlight, std::optional(std::pair(0, 0x06)));
  QCOMPARE(fake.unexpected, std::vector<std::string>());
}

void MapPaneTest::aNewerRunCancelsAnOlderOne() {
  PreviewInputs five;
  loadExample(five);
  if (QTest::currentTestFailed()) return;
  PreviewInputs two = five;
  two.document.NewLevels = 2;

  LevelRunner runner;
  std::vector<std::size_t> reported;
  connect(&runner, &LevelRunner::finished, this,
          [&reported](const std::shared_ptr<const LevelResult>& result) {
            reported.push_back(result->levels.size());
          });
  runner.start(five, nullptr, true);
  runner.start(two, nullptr, true);
  QTRY_VERIFY_WITH_TIMEOUT(!runner.running(), 60000);
  QCOMPARE(reported, std::vector<std::size_t>{2});
}

void MapPaneTest::levelsAreNamedAndAnEditRedoesThem() {
  FakeUserInterface fake;
  MainWindow window(windowSetup(fake));
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  fake.openFiles.push_back(set_.toStdString());
  window.findChild<QAbstractButton*>(QStringLiteral("bLoad"))->click();
  window.findChild<QToolButton*>(QStringLiteral("bMap"))->click();
  MapPane* pane = window.mapPane();
  auto* table = pane->findChild<QTableWidget*>(QStringLiteral("tblLevelCounts"));
  QTRY_VERIFY_WITH_TIMEOUT(table->rowCount() == 6 && !pane->running(), 60000);

  auto* selector = pane->findChild<QComboBox*>(QStringLiteral("cbMapLevel"));
  QStringList entries;
  for (int i = 0; i < selector->count(); ++i) entries << selector->itemText(i);
  QCOMPARE(entries,
           QStringList({"Исходная карта", "Уровень 0: 24 бит, 120 м", "Уровень 1: 22 бит, 500 м",
                        "Уровень 2: 20 бит, 2 км", "Уровень 3: 18 бит, 5 км - 8 км",
                        "Уровень 4: 16 бит, 20 км - 30 км"}));
  const auto objects = [table](int row) { return table->item(row, 1)->text().toInt(); };
  QCOMPARE(table->item(2, 0)->text(), QStringLiteral("1: 22 бит"));
  const int level0 = objects(1), level1 = objects(2);

  // The two streets, kept down to level 1, are kept on level 0 only: no "Обновить" is needed.
  auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tv"));
  for (int r = 0; r < tree->topLevelItemCount(); ++r)
    for (int c = 0; c < tree->topLevelItem(r)->childCount(); ++c)
      if (tree->topLevelItem(r)->child(c)->text(0).startsWith(QStringLiteral("0x06 ")))
        tree->setCurrentItem(tree->topLevelItem(r)->child(c));
  QVERIFY(tree->currentItem()->text(0).startsWith(QStringLiteral("0x06 ")));
  window.findChild<QComboBox*>(QStringLiteral("cbVisibleTo"))->setCurrentIndex(0);
  QTRY_COMPARE_WITH_TIMEOUT(objects(2), level1 - 2, 30000);
  QCOMPARE(objects(1), level0);

  // A new document has no map: nothing of the old one stays, even while it is being converted.
  window.findChild<QComboBox*>(QStringLiteral("cbVisibleTo"))->setCurrentIndex(1);
  pane->refreshNow();
  QVERIFY(pane->running());
  fake.yesNoCancel.push_back(UserInterface::Answer::No);
  window.findChild<QAbstractButton*>(QStringLiteral("bNew"))->click();
  QCOMPARE(table->rowCount(), 0);
  QCOMPARE(selector->count(), 0);
  QVERIFY(pane->canvas()->map()->objects.empty());
  QTRY_VERIFY_WITH_TIMEOUT(!pane->running(), 10000);
  QCOMPARE(table->rowCount(), 0);
  QCOMPARE(fake.unexpected, std::vector<std::string>());
}

void MapPaneTest::anotherMapIsDrawnEvenWhenAskedAgainBeforeItIsRead() {
  PreviewInputs inputs;
  loadExample(inputs);
  if (QTest::currentTestFailed()) return;
  MapPane pane([&inputs] { return inputs; });
  pane.show();
  QVERIFY(QTest::qWaitForWindowExposed(&pane));
  pane.refreshNow();
  QTRY_VERIFY_WITH_TIMEOUT(!pane.running(), 60000);
  QCOMPARE(pane.canvas()->map()->objects.size(), std::size_t{13});

  QFile one(dir_->filePath(QStringLiteral("one.mp")));
  QVERIFY(one.open(QIODevice::WriteOnly));
  one.write(
      "[IMG ID]\nID=1\nLevels=2\nLevel0=24\nLevel1=21\nZoom0=0\nZoom1=1\n[END-IMG ID]\n"
      "[POI]\nType=0x2f01\nData0=(56.84,35.91)\n[END]\n");
  one.close();
  inputs.document.FileName = one.fileName().toStdString();
  // The second run comes while the new map is still being read: the old map's objects must not
  // stand in for it.
  pane.refreshNow();
  pane.refreshNow();
  QTRY_VERIFY_WITH_TIMEOUT(!pane.running(), 60000);
  QCOMPARE(pane.canvas()->map()->objects.size(), std::size_t{1});
  const auto* counts = pane.findChild<QTableWidget*>(QStringLiteral("tblLevelCounts"));
  QCOMPARE(counts->item(1, 1)->text(), QStringLiteral("1"));
}

}  // namespace visual

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  visual::MapPaneTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "map_pane_test.moc"
