#pragma once

#include <QDialog>
#include <optional>

class QComboBox;

namespace visual {

/// "Уровень детализации": picks the bits of a level among 10 to 26.
class LevelPicker final : public QDialog {
 public:
  explicit LevelPicker(QWidget* parent = nullptr);

  /// Selects the entry of `bits`, or none when it has no entry.
  void setBits(int bits);
  /// The bits of the selected entry; nothing when no entry is selected.
  std::optional<int> bits() const;
  /// Shows the picker for `bits`; the picked bits on "Ok", nothing on "Отмена" or no selection.
  std::optional<int> pick(int bits);

 private:
  QComboBox* cb_;
};

}  // namespace visual
