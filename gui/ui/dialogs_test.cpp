#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui/io/fake_user_interface.h"
#include "gui/ui/conversion_log.h"
#include "gui/ui/file_dialogs.h"
#include "gui/ui/file_field.h"
#include "gui/ui/generation_dialog.h"
#include "gui/ui/install_paths.h"
#include "gui/ui/level_picker.h"
#include "gui/ui/main_window.h"
#include "gui/ui/map_file_dialog.h"
#include "gui/ui/progress_panel.h"
#include "gui/ui/shown_text.h"
#include "gui/ui/ui_test_support.h"

namespace visual {

namespace {

void clickChild(QWidget* window, const QString& name) {
  auto* button = window->findChild<QAbstractButton*>(name);
  QVERIFY2(button, qPrintable(name));
  QTest::mouseClick(button, Qt::LeftButton);
}

void touch(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void filtersBecomeQtFilters_data();
  void filtersBecomeQtFilters();
  void documentTextsInTheCodePage();
  void progressBarWidth_data();
  void progressBarWidth();
  void progressBarIsPaintedBlueOverTheButtonFace();
  void levelPickerListsTheLabelledBits();
  void levelPickerAnswers_data();
  void levelPickerAnswers();
  void mapFileDialogReturnsTheField();
  void generationDialogNeedsTheConverter();
  void generationDialogAsksBeforeOverwriting_data();
  void generationDialogAsksBeforeOverwriting();
  void generationDialogKeepsCancelledSettings();
  void oneRunAtATimeAndCancelStopsIt();
  void converterFoundInTheBuildTree();
  void questionsHaveRussianButtons_data();
  void questionsHaveRussianButtons();
  void windowDialogsAreTheProgramsOwn();
};

void DialogsTest::filtersBecomeQtFilters_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QString>("expected");
  QTest::newRow("bare pattern") << "MAP Polish format|*.MP"
                                << "MAP Polish format (*.MP *.mp)";
  QTest::newRow("described patterns") << "TXT files (*.TXT)|*.txt|All files (*.*)|*.*"
                                      << "TXT files (*.txt *.TXT);;All files (*.*)";
  QTest::newRow("settings") << "zarvax SetFiles (*.set)|*.set"
                            << "zarvax SetFiles (*.set *.SET)";
  QTest::newRow("several patterns") << "Maps|*.mp;*.txt"
                                    << "Maps (*.mp *.MP *.txt *.TXT)";
  QTest::newRow("empty") << ""
                         << "";
  QTest::newRow("description without pattern") << "Orphan"
                                               << "";
}

void DialogsTest::filtersBecomeQtFilters() {
  QFETCH(QString, filter);
  QFETCH(QString, expected);
  QCOMPARE(toQtFilter(filter.toStdString()), expected);
}

void DialogsTest::documentTextsInTheCodePage() {
  QCOMPARE(shownText("\xd2\xe5\xf1\xf2", 1251), QStringLiteral("Тест"));
  QCOMPARE(storedText(QStringLiteral("Тест"), 1251), std::string("\xd2\xe5\xf1\xf2"));
}

void DialogsTest::progressBarWidth_data() {
  QTest::addColumn<int>("pos");
  QTest::addColumn<int>("max");
  QTest::addColumn<int>("width");
  QTest::newRow("start") << 0 << 1 << 0;
  QTest::newRow("half") << 50 << 100 << 55;
  QTest::newRow("truncated") << 1 << 3 << 36;
  QTest::newRow("full") << 7 << 7 << 110;
  QTest::newRow("no maximum") << 5 << 0 << 0;
  QTest::newRow("large scan") << 40000000 << 50000000 << 88;
}

void DialogsTest::progressBarWidth() {
  QFETCH(int, pos);
  QFETCH(int, max);
  QFETCH(int, width);
  ProgressPanel panel;
  panel.resize(110, 20);
  panel.setProgress(pos, max);
  QCOMPARE(panel.barWidth(), width);
}

void DialogsTest::progressBarIsPaintedBlueOverTheButtonFace() {
  ProgressPanel panel;
  panel.resize(110, 20);
  panel.setProgress(1, 2);
  const QImage image = panel.grab().toImage();
  QCOMPARE(image.pixelColor(10, 10), QColor(Qt::blue));
  QCOMPARE(image.pixelColor(54, 10), QColor(Qt::blue));
  QCOMPARE(image.pixelColor(55, 10), panel.palette().button().color());
}

void DialogsTest::levelPickerListsTheLabelledBits() {
  LevelPicker picker;
  QCOMPARE(picker.objectName(), QStringLiteral("TForm2"));
  QCOMPARE(picker.windowTitle(), QStringLiteral("Уровень детализации"));
  auto* cb = picker.findChild<QComboBox*>(QStringLiteral("cb"));
  QVERIFY(cb);
  QCOMPARE(cb->count(), 17);
  QCOMPARE(cb->itemText(0), QStringLiteral("10 : 1200 км"));
  QCOMPARE(cb->itemText(14), QStringLiteral("24 : 120 м "));
  QCOMPARE(cb->itemText(16), QStringLiteral("26 : 0 -30 м"));
}

void DialogsTest::levelPickerAnswers_data() {
  QTest::addColumn<int>("given");
  QTest::addColumn<int>("moveTo");
  QTest::addColumn<QString>("button");
  QTest::addColumn<int>("expected");
  QTest::addColumn<QString>("shown");
  QTest::newRow("ok keeps the given bits") << 24 << -1 << "bOk" << 24 << "24 : 120 м ";
  QTest::newRow("ok takes another entry") << 24 << 3 << "bOk" << 13 << "24 : 120 м ";
  QTest::newRow("cancel") << 18 << 0 << "bCancel" << -1 << "18 : 5 км - 8 км";
  QTest::newRow("ok without an entry acts as cancel") << 30 << -1 << "bOk" << -1 << "";
}

void DialogsTest::levelPickerAnswers() {
  QFETCH(int, given);
  QFETCH(int, moveTo);
  QFETCH(QString, button);
  QFETCH(int, expected);
  QFETCH(QString, shown);
  LevelPicker picker;
  QString shownOnOpening;
  whenModalOpens([&](QWidget* modal) {
    auto* cb = modal->findChild<QComboBox*>(QStringLiteral("cb"));
    shownOnOpening = cb->currentText();
    if (moveTo >= 0) cb->setCurrentIndex(moveTo);
    clickChild(modal, button);
  });
  const std::optional<int> picked = picker.pick(given);
  QCOMPARE(shownOnOpening, shown);
  QCOMPARE(picked.value_or(-1), expected);
}

void DialogsTest::mapFileDialogReturnsTheField() {
  MapFileDialog dialog;
  QCOMPARE(dialog.objectName(), QStringLiteral("TForm4"));
  QVERIFY(dialog.fileField()->lineEdit()->isReadOnly());
  QString message;
  whenModalOpens([&](QWidget* modal) {
    message = modal->findChild<QLabel*>(QStringLiteral("Label1"))->text();
    clickChild(modal, QStringLiteral("bOk"));
  });
  QCOMPARE(dialog.choose(QStringLiteral("Укажите его заново!"), QStringLiteral("\"/x/town.mp\"")),
           std::optional<QString>(QStringLiteral("\"/x/town.mp\"")));
  QCOMPARE(message, QStringLiteral("Укажите его заново!"));

  whenModalOpens([](QWidget* modal) { clickChild(modal, QStringLiteral("bCancel")); });
  QCOMPARE(dialog.choose(QStringLiteral("m"), QStringLiteral("f")), std::nullopt);
}

void DialogsTest::generationDialogNeedsTheConverter() {
  QTemporaryDir dir;
  FakeUserInterface fake;
  Workspace workspace(fake);
  GenerationDialog dialog(workspace);
  QCOMPARE(dialog.objectName(), QStringLiteral("TForm3"));
  GenerationSettings settings{
      dir.filePath("t.txt").toStdString(),  dir.filePath("t.cfg").toStdString(),
      dir.filePath("t.bat").toStdString(),  dir.filePath("t_multilevel.mp").toStdString(),
      dir.filePath("zarvex").toStdString(), true};
  bool stayedOpen = false;
  whenModalOpens([&](QWidget* modal) {
    clickChild(modal, QStringLiteral("Button1"));
    stayedOpen = modal->isVisible();
    touch(dir.filePath("zarvex"));
    clickChild(modal, QStringLiteral("Button1"));
  });
  QVERIFY(dialog.run(settings));
  QVERIFY(stayedOpen);
  QCOMPARE(fake.messages, std::vector<std::string>{"Укажите путь к файлу zarvex!!\n" +
                                                   settings.fnZARVEX + ": файл не найден"});
  QVERIFY(fake.questions.empty());
}

void DialogsTest::generationDialogAsksBeforeOverwriting_data() {
  QTest::addColumn<bool>("overwrite");
  QTest::newRow("yes") << true;
  QTest::newRow("no") << false;
}

void DialogsTest::generationDialogAsksBeforeOverwriting() {
  QFETCH(bool, overwrite);
  QTemporaryDir dir;
  touch(dir.filePath("zarvex"));
  touch(dir.filePath("t.cfg"));
  FakeUserInterface fake;
  fake.yesNo = {overwrite};
  Workspace workspace(fake);
  GenerationDialog dialog(workspace);
  dialog.setSettings({dir.filePath("t.txt").toStdString(), dir.filePath("t.cfg").toStdString(),
                      dir.filePath("t.bat").toStdString(), dir.filePath("t.mp").toStdString(),
                      dir.filePath("zarvex").toStdString(), false});
  dialog.show();
  clickChild(&dialog, QStringLiteral("Button1"));
  QCOMPARE(fake.questions, std::vector<std::string>{"Переписать файлы?"});
  QCOMPARE(dialog.result(), overwrite ? int(QDialog::Accepted) : int(QDialog::Rejected));
  QCOMPARE(dialog.isVisible(), !overwrite);
  // The answer deletes nothing; generation replaces the file once the new one is whole.
  QVERIFY(QFile::exists(dir.filePath("t.cfg")));
}

void DialogsTest::generationDialogKeepsCancelledSettings() {
  FakeUserInterface fake;
  Workspace workspace(fake);
  GenerationDialog dialog(workspace);
  GenerationSettings settings{"a.txt", "a.cfg", "a.bat", "a.mp", "zarvex", true};
  whenModalOpens([](QWidget* modal) {
    const QList<FileField*> fields = modal->findChildren<FileField*>();
    QCOMPARE(fields.size(), 5);
    modal->findChild<FileField*>(QStringLiteral("fnCFG"))->setText(QStringLiteral("b.cfg"));
    modal->findChild<QCheckBox*>(QStringLiteral("cbRun"))->setChecked(false);
    clickChild(modal, QStringLiteral("Button2"));
  });
  QVERIFY(!dialog.run(settings));
  QCOMPARE(settings.fnCFG, std::string("a.cfg"));
  QVERIFY(settings.cbRun);
  QCOMPARE(dialog.settings().fnCFG, std::string("b.cfg"));
  QVERIFY(!dialog.settings().cbRun);
}

void DialogsTest::oneRunAtATimeAndCancelStopsIt() {
  FakeUserInterface fake;
  Workspace workspace(fake);
  GenerationDialog dialog(workspace);
  QTemporaryDir dir;
  const ConverterRun slow{dir.filePath(QStringLiteral("t.bat")).toStdString(),
                          {"/bin/sleep", "60", "t.cfg", "t.mp"}};
  QVERIFY(dialog.startRun(slow));
  QVERIFY(dialog.isVisible() && !dialog.isModal());
  QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->isEnabled());
  QVERIFY(!dialog.startRun(slow));
  std::optional<ConversionReport> report;
  connect(&dialog, &GenerationDialog::runFinished, this,
          [&report](const ConversionReport& r) { report = r; });
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(report.has_value(), 60000);
  QVERIFY(dialog.isVisible());
  QCOMPARE(dialog.log()->status(), QStringLiteral("Конвертация прервана"));
  QVERIFY(!report->ok);

  // A converter that is not there is told in the log, and the run reports that it did not start.
  QVERIFY(!dialog.startRun({slow.batchFile, {dir.filePath(QStringLiteral("none")).toStdString()}}));
  QVERIFY(dialog.log()->status().startsWith(QStringLiteral("Не удалось запустить ")));
  QVERIFY(!dialog.running());
}

void DialogsTest::converterFoundInTheBuildTree() {
  // The tests run from the build tree, like a visualzarvex started there.
  QCOMPARE(QString::fromStdString(defaultConverterPath()), QStringLiteral(ZARVEX_BINARY));
}

void DialogsTest::questionsHaveRussianButtons_data() {
  QTest::addColumn<QString>("press");
  QTest::addColumn<int>("expected");
  QTest::newRow("yes") << "Да" << int(UserInterface::Answer::Yes);
  QTest::newRow("no") << "Нет" << int(UserInterface::Answer::No);
  QTest::newRow("cancel") << "Отмена" << int(UserInterface::Answer::Cancel);
}

void DialogsTest::questionsHaveRussianButtons() {
  QFETCH(QString, press);
  QFETCH(int, expected);
  QTemporaryDir dir;
  MainWindowSetup setup;
  setup.iniPath = dir.filePath("visualzarvex.ini").toStdString();
  MainWindow window(setup);
  QStringList buttons;
  QString text;
  whenModalOpens([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    text = box->text();
    for (QAbstractButton* button : box->buttons()) buttons << button->text().remove(u'&');
    for (QAbstractButton* button : box->buttons()) {
      if (button->text().remove(u'&') == press) QTest::mouseClick(button, Qt::LeftButton);
    }
  });
  const auto answer = window.askYesNoCancel("Остались несохраненные данные. Сохранить?");
  buttons.sort();
  QCOMPARE(buttons, (QStringList{"Да", "Нет", "Отмена"}));
  QCOMPARE(text, QStringLiteral("Остались несохраненные данные. Сохранить?"));
  QCOMPARE(int(answer), expected);
}

void DialogsTest::windowDialogsAreTheProgramsOwn() {
  QTemporaryDir dir;
  MainWindowSetup setup;
  setup.iniPath = dir.filePath("visualzarvex.ini").toStdString();
  MainWindow window(setup);
  whenModalOpens([](QWidget* modal) {
    QCOMPARE(modal->objectName(), QStringLiteral("TForm2"));
    clickChild(modal, QStringLiteral("bOk"));
  });
  QCOMPARE(window.pickLevel(22), std::optional<int>(22));

  GenerationSettings settings;
  whenModalOpens([](QWidget* modal) {
    QCOMPARE(modal->objectName(), QStringLiteral("TForm3"));
    clickChild(modal, QStringLiteral("Button2"));
  });
  QVERIFY(!window.showGenerationDialog(settings));

  whenModalOpens([](QWidget* modal) {
    QCOMPARE(modal->objectName(), QStringLiteral("TForm4"));
    clickChild(modal, QStringLiteral("bOk"));
  });
  QCOMPARE(window.chooseMapFile("m", "/maps/town.mp"), std::optional<std::string>("/maps/town.mp"));

  whenModalOpens([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("Все файлы созданы"));
    QCOMPARE(box->buttons().size(), 1);
    QTest::mouseClick(box->buttons().constFirst(), Qt::LeftButton);
  });
  window.showMessage("Все файлы созданы");
}

}  // namespace visual

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QTranslator translator;
  if (!visual::installRussian(translator)) {
    qWarning("qtbase_ru is missing");
    return 1;
  }
  visual::DialogsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "dialogs_test.moc"
