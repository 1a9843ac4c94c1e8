#pragma once

#include <QDialog>

#include "gui/io/workspace.h"

class QCheckBox;

namespace visual {

class FileField;

/// "Генерация": the names of the files to write and the converter to run them with.
class GenerationDialog final : public QDialog {
 public:
  GenerationDialog(Workspace& workspace, QWidget* parent = nullptr);

  void setSettings(const GenerationSettings& settings);
  GenerationSettings settings() const;
  /// Shows the dialog over `settings`; on OK they hold what the user set.
  bool run(GenerationSettings& settings);

 private:
  void create();

  Workspace& workspace_;
  FileField* fnTXT_;
  FileField* fnCFG_;
  FileField* fnBAT_;
  FileField* fnNewMP_;
  FileField* fnZARVEX_;
  QCheckBox* cbRun_;
};

}  // namespace visual
