#pragma once

#include <QDialog>
#include <optional>

class QLabel;

namespace visual {

class FileField;

/// "Выберите файл карты": asks for the map again when it is not where the work says.
class MapFileDialog final : public QDialog {
 public:
  explicit MapFileDialog(QWidget* parent = nullptr);

  /// Shows `message` with the file field preset to `fileField`; the field's text on "Ok".
  std::optional<QString> choose(const QString& message, const QString& fileField);
  FileField* fileField() const { return eFilename_; }

 private:
  QLabel* label_;
  FileField* eFilename_;
};

}  // namespace visual
