// Saves a picture of every page and dialog, the generation dialog with a finished run and the map
// pane at the open map and two new levels among them:
// visualzarvex_screenshots [--size WxH] OUT_DIR [MAP] [TYPES_DIR]
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QTreeWidget>
#include <iostream>

#include "gui/io/fake_user_interface.h"
#include "gui/ui/file_field.h"
#include "gui/ui/generation_dialog.h"
#include "gui/ui/level_picker.h"
#include "gui/ui/main_window.h"
#include "gui/ui/map_file_dialog.h"
#include "gui/ui/map_pane.h"
#include "gui/ui/native_path.h"
#include "gui/ui/ui_test_support.h"

namespace {

// The pane converts off the GUI thread; the picture waits for its newest run.
bool settle(visual::MapPane* pane) {
  QApplication::processEvents();
  for (QDeadlineTimer deadline(120000); pane->running() && !deadline.hasExpired();)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  return !pane->running();
}

bool save(QWidget* widget, const QDir& out, const QString& name) {
  QApplication::processEvents();
  const QString path = out.filePath(name + QStringLiteral(".png"));
  if (widget->grab().save(path)) return true;
  std::cerr << "cannot write " << path.toStdString() << '\n';
  return false;
}

QTreeWidgetItem* firstChildOf(QTreeWidget* tree, const QString& root) {
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = tree->topLevelItem(i);
    if (item->text(0) == root && item->childCount() > 0) return item->child(0);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  QSize size(848, 581);
  if (args.size() >= 2 && args[0] == QStringLiteral("--size")) {
    const QStringList wh = args[1].split(u'x');
    if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
    args = args.mid(2);
  }
  if (args.isEmpty() || !size.isValid()) {
    std::cerr << "usage: visualzarvex_screenshots [--size WxH] OUT_DIR [MAP] [TYPES_DIR]\n";
    return 2;
  }
  QTranslator translator;
  visual::installRussian(translator);
  const QString testData = QStringLiteral(VISUAL_UI_TESTDATA);
  const QString source = args.size() > 1 ? args[1] : testData + QStringLiteral("/town.mp");
  const QString types = args.size() > 2 ? args[2] : testData + QStringLiteral("/types");

  // The map, the type files and the converter are put into a folder of their own, which becomes
  // the current one: the run writes its files there, and the pictures show short relative paths.
  QTemporaryDir settings;
  const QString map = QFileInfo(source).fileName();
  bool copied =
      QFile::copy(source, settings.filePath(map)) &&
      QDir(settings.path()).mkdir(QStringLiteral("types")) &&
      QFile::link(QStringLiteral(ZARVEX_BINARY), settings.filePath(QStringLiteral("zarvex")));
  for (const QFileInfo& file : QDir(types).entryInfoList({QStringLiteral("*.dat")}, QDir::Files))
    copied = copied && QFile::copy(file.filePath(),
                                   settings.filePath(QStringLiteral("types/") + file.fileName()));
  const QDir out{QFileInfo(args[0]).absoluteFilePath()};
  if (!copied || !QDir::setCurrent(settings.path())) {
    std::cerr << "cannot prepare " << settings.path().toStdString() << '\n';
    return 1;
  }
  visual::FakeUserInterface fake;
  visual::MainWindowSetup setup;
  setup.iniPath = visual::nativePath(settings.filePath(QStringLiteral("visualzarvex.ini")));
  setup.converterPath = "./zarvex";
  setup.typesFolder = "types";
  setup.dialogs = &fake;
  visual::MainWindow window(setup);
  window.resize(size);
  window.show();

  bool ok = save(&window, out, QStringLiteral("default"));
  window.findChild<QAbstractButton*>(QStringLiteral("Button2"))->click();
  ok = save(&window, out, QStringLiteral("changes")) && ok;

  window.findChild<QAbstractButton*>(QStringLiteral("bNew"))->click();
  fake.openFiles.push_back(visual::nativePath(map));
  window.findChild<visual::FileField*>(QStringLiteral("eFilename"))->browseButton()->click();
  ok = save(&window, out, QStringLiteral("header")) && ok;
  window.findChild<QAbstractButton*>(QStringLiteral("bCityDef"))->click();

  auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("tv"));
  if (QTreeWidgetItem* polygon = firstChildOf(tree, QStringLiteral("Polygone"))) {
    tree->setCurrentItem(polygon);
    window.findChild<QRadioButton*>(QStringLiteral("rbVisibleNotAll"))->click();
    window.findChild<QComboBox*>(QStringLiteral("cbVisibleFrom"))->setCurrentIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("cbVisibleTo"))->setCurrentIndex(2);
    window.findChild<QCheckBox*>(QStringLiteral("chCond1"))->setChecked(true);
    window.findChild<QComboBox*>(QStringLiteral("cbParam1"))->setCurrentIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("cbCond1"))->setCurrentIndex(3);
    window.findChild<QLineEdit*>(QStringLiteral("eValue1"))->setText(QStringLiteral("300000"));
    window.findChild<QComboBox*>(QStringLiteral("cbVisibleTo1"))->setCurrentIndex(3);
  }
  ok = save(&window, out, QStringLiteral("objects")) && ok;

  // The map beside the pages, with the polygon's rule above, whose type stays selected in the
  // tree and so is highlighted. The offscreen screen is too small for the window to grow itself.
  window.resize(std::max(size.width(), 1448), std::max(size.height(), 720));
  window.findChild<QToolButton*>(QStringLiteral("bMap"))->click();
  visual::MapPane* pane = window.mapPane();
  pane->refreshNow();
  ok = settle(pane) && ok;
  auto* levels = pane->findChild<QComboBox*>(QStringLiteral("cbMapLevel"));
  for (int level : {0, 1, 3}) {
    levels->setCurrentIndex(level);
    const QString name =
        level == 0 ? QStringLiteral("map") : QStringLiteral("map_level%1").arg(level - 1);
    ok = save(&window, out, name) && ok;
  }

  visual::LevelPicker* picker = window.levelPicker();
  picker->setBits(24);
  picker->show();
  ok = save(picker, out, QStringLiteral("level_picker")) && ok;
  picker->hide();

  visual::GenerationDialog* generation = window.generationDialog();
  fake.generationDialog = [&](visual::GenerationSettings& chosen) {
    generation->setSettings(chosen);
    generation->show();
    ok = save(generation, out, QStringLiteral("generation")) && ok;
    generation->hide();
    chosen.cbRun = true;
    chosen.cbTerminal = false;
    fake.yesNo.push_back(true);
    return window.workspace().confirmCreate(chosen);
  };
  window.findChild<QAbstractButton*>(QStringLiteral("bGenerate"))->click();
  for (QDeadlineTimer deadline(120000); generation->running() && !deadline.hasExpired();)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  ok = !generation->running() && save(generation, out, QStringLiteral("generation_run")) && ok;
  generation->hide();

  visual::MapFileDialog* mapDialog = window.mapFileDialog();
  mapDialog->fileField()->setText(u'"' + map + u'"');
  mapDialog->findChild<QWidget*>(QStringLiteral("Label1"))
      ->setProperty("text", QStringLiteral("Файл был удален или перемещен. Укажите его заново!"));
  mapDialog->show();
  ok = save(mapDialog, out, QStringLiteral("map_file")) && ok;
  mapDialog->hide();
  return ok ? 0 : 1;
}
