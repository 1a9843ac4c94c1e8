#pragma once

#include <QDialog>

#include "gui/io/conversion_report.h"
#include "gui/io/shell.h"
#include "gui/io/workspace.h"

class QCheckBox;
class QPushButton;

namespace visual {

class ConversionLog;
class FileField;

/// "Генерация": the names of the files to write and the converter to run them with; then, when
/// the run is to be seen here, the converter's output and how it ended.
class GenerationDialog final : public QDialog {
  Q_OBJECT

 public:
  GenerationDialog(Workspace& workspace, QWidget* parent = nullptr);

  void setSettings(const GenerationSettings& settings);
  GenerationSettings settings() const;
  /// Shows the dialog over `settings`; on OK they hold what the user set.
  bool run(GenerationSettings& settings);

  /// Shows the dialog without blocking the main window and runs the conversion in it; false
  /// when the converter could not be started.
  bool startRun(const ConverterRun& run);
  bool running() const;
  ConversionLog* log() const { return log_; }

 signals:
  void runFinished(const visual::ConversionReport& report);

 protected:
  /// "Отмена" or the window's close stop a run that is going; the dialog then shows its end.
  void reject() override;

 private:
  void create();
  void setRunMode(bool runMode);

  Workspace& workspace_;
  FileField* fnTXT_;
  FileField* fnCFG_;
  FileField* fnBAT_;
  FileField* fnNewMP_;
  FileField* fnZARVEX_;
  QCheckBox* cbRun_;
  QCheckBox* cbTerminal_;
  QPushButton* create_;
  ConversionLog* log_;
};

}  // namespace visual
