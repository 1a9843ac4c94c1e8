// Saves a picture of every page and dialog: visualzarvex_screenshots OUT_DIR [MAP] [TYPES_DIR]
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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
#include "gui/ui/ui_test_support.h"

namespace {

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
  if (argc < 2) {
    std::cerr << "usage: visualzarvex_screenshots OUT_DIR [MAP] [TYPES_DIR]\n";
    return 2;
  }
  QTranslator translator;
  visual::installRussian(translator);
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const QString testData = QStringLiteral(VISUAL_UI_TESTDATA);
  const QString map =
      argc > 2 ? QString::fromLocal8Bit(argv[2]) : testData + QStringLiteral("/town.mp");
  const QString types =
      argc > 3 ? QString::fromLocal8Bit(argv[3]) : testData + QStringLiteral("/types");

  QTemporaryDir settings;
  visual::FakeUserInterface fake;
  visual::MainWindowSetup setup;
  setup.iniPath = settings.filePath(QStringLiteral("visualzarvex.ini")).toStdString();
  setup.converterPath = "/usr/bin/zarvex";
  setup.typesFolder = types.toStdString();
  setup.dialogs = &fake;
  visual::MainWindow window(setup);
  window.show();

  bool ok = save(&window, out, QStringLiteral("default"));
  window.findChild<QAbstractButton*>(QStringLiteral("Button2"))->click();
  ok = save(&window, out, QStringLiteral("changes")) && ok;

  window.findChild<QAbstractButton*>(QStringLiteral("bNew"))->click();
  fake.openFiles.push_back(map.toStdString());
  window.findChild<visual::FileField*>(QStringLiteral("eFilename"))->browseButton()->click();
  ok = save(&window, out, QStringLiteral("header")) && ok;

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

  visual::LevelPicker* picker = window.levelPicker();
  picker->setBits(24);
  picker->show();
  ok = save(picker, out, QStringLiteral("level_picker")) && ok;
  picker->hide();

  visual::GenerationDialog* generation = window.generationDialog();
  const std::string base = map.left(map.lastIndexOf(u'.')).toStdString();
  generation->setSettings({base + ".txt", base + ".cfg", base + ".bat", base + "_multilevel.mp",
                           setup.converterPath, true});
  generation->show();
  ok = save(generation, out, QStringLiteral("generation")) && ok;
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
