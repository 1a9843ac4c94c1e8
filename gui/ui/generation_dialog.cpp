#include "gui/ui/generation_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ui/conversion_log.h"
#include "gui/ui/dialog_buttons.h"
#include "gui/ui/file_dialogs.h"
#include "gui/ui/file_field.h"

namespace visual {

namespace {

FileField* addFileField(QWidget* dialog, QFormLayout* form, const char* name, const QString& label,
                        FileDialogSpec request, FileDialogMode mode) {
  auto* field = new FileField(true, dialog);
  field->setObjectName(QString::fromLatin1(name));
  field->setChooser([dialog, request, mode](const QString& current) {
    return runFileDialog(dialog, request, mode, current);
  });
  form->addRow(label, field);
  return field;
}

}  // namespace

GenerationDialog::GenerationDialog(Workspace& workspace, QWidget* parent)
    : QDialog(parent), workspace_(workspace) {
  setObjectName(QStringLiteral("TForm3"));
  setWindowTitle(QStringLiteral("Генерация"));

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  fnTXT_ = addFileField(this, form, "fnTXT", QStringLiteral("Файл заголовка:"),
                        {"", "TXT files (*.TXT)|*.txt|All files (*.*)|*.*", ".txt"},
                        FileDialogMode::Save);
  fnCFG_ = addFileField(this, form, "fnCFG", QStringLiteral("Файл скрипта:"),
                        {"", "CFG File (*.CFG)|*.cfg|All files (*.*)|*.*", ".cfg"},
                        FileDialogMode::Save);
  fnBAT_ = addFileField(this, form, "fnBAT", QStringLiteral("Bat-файл:"),
                        {"", "BAT files (*.bat)|*.bat|All files (*.*)|*.*", ".bat"},
                        FileDialogMode::Save);
  fnNewMP_ = addFileField(this, form, "fnNewMP", QStringLiteral("Переделанная карта:"),
                          {"", "MAP Polish format (*.MP)|*.mp|All files (*.*)|*.*", ".mp"},
                          FileDialogMode::Save);
  // No default extension: the converter is a bare "zarvex" here, and an added suffix would
  // turn it into a file that does not exist.
  fnZARVEX_ = addFileField(this, form, "fnZARVEX", QStringLiteral("Файл ZARVEX.EXE:"), {},
                           FileDialogMode::Open);

  cbRun_ = new QCheckBox(QStringLiteral("Выполнить BAT после генерации"), this);
  cbRun_->setObjectName(QStringLiteral("cbRun"));
  cbRun_->setChecked(true);
  cbTerminal_ = new QCheckBox(QStringLiteral("В окне терминала"), this);
  cbTerminal_->setObjectName(QStringLiteral("cbTerminal"));
  cbTerminal_->setToolTip(
      QStringLiteral("Показать работу конвертера в отдельном окне, а не в этом диалоге"));
  cbTerminal_->setVisible(terminalAvailable());
  connect(cbRun_, &QCheckBox::toggled, cbTerminal_, &QCheckBox::setEnabled);
  log_ = new ConversionLog(this);
  log_->hide();
  connect(log_, &ConversionLog::finished, this, [this](const ConversionReport& report) {
    create_->setEnabled(false);
    emit runFinished(report);
  });

  const DialogButtons buttons = makeDialogButtons(
      this, QStringLiteral("Создать"), QStringLiteral("Button1"), QStringLiteral("Button2"));
  create_ = buttons.ok;
  connect(buttons.ok, &QPushButton::clicked, this, &GenerationDialog::create);
  buttons.row->insertWidget(0, cbRun_);
  buttons.row->insertWidget(1, cbTerminal_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addSpacing(6);
  layout->addWidget(log_, 1);
  layout->addLayout(buttons.row);

  for (FileField* field : {fnTXT_, fnCFG_, fnBAT_, fnNewMP_, fnZARVEX_}) {
    field->setMinimumWidth(460);
  }
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void GenerationDialog::setSettings(const GenerationSettings& settings) {
  fnTXT_->setText(QString::fromStdString(settings.fnTXT));
  fnCFG_->setText(QString::fromStdString(settings.fnCFG));
  fnBAT_->setText(QString::fromStdString(settings.fnBAT));
  fnNewMP_->setText(QString::fromStdString(settings.fnNewMP));
  fnZARVEX_->setText(QString::fromStdString(settings.fnZARVEX));
  cbRun_->setChecked(settings.cbRun);
  cbTerminal_->setChecked(settings.cbTerminal);
  cbTerminal_->setEnabled(settings.cbRun);
}

GenerationSettings GenerationDialog::settings() const {
  GenerationSettings settings;
  settings.fnTXT = fnTXT_->text().toStdString();
  settings.fnCFG = fnCFG_->text().toStdString();
  settings.fnBAT = fnBAT_->text().toStdString();
  settings.fnNewMP = fnNewMP_->text().toStdString();
  settings.fnZARVEX = fnZARVEX_->text().toStdString();
  settings.cbRun = cbRun_->isChecked();
  settings.cbTerminal = cbTerminal_->isChecked();
  return settings;
}

bool GenerationDialog::run(GenerationSettings& settings) {
  if (running()) return false;
  setRunMode(false);
  setSettings(settings);
  if (exec() != QDialog::Accepted) return false;
  settings = this->settings();
  return true;
}

void GenerationDialog::create() {
  if (workspace_.confirmCreate(settings())) accept();
}

bool GenerationDialog::startRun(const ConverterRun& run) {
  if (running()) return false;
  setRunMode(true);
  show();
  raise();
  activateWindow();
  return log_->start(run);
}

bool GenerationDialog::running() const {
  return log_->running();
}

void GenerationDialog::reject() {
  if (running()) {
    log_->stop();
    return;
  }
  QDialog::reject();
}

// The fields show what the run was made from; they are edited again at the next "Генерация".
void GenerationDialog::setRunMode(bool runMode) {
  for (FileField* field : {fnTXT_, fnCFG_, fnBAT_, fnNewMP_, fnZARVEX_})
    field->setEnabled(!runMode);
  cbRun_->setEnabled(!runMode);
  cbTerminal_->setEnabled(!runMode && cbRun_->isChecked());
  create_->setEnabled(!runMode);
  log_->setVisible(runMode);
}

}  // namespace visual
