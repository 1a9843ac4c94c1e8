#include "gui/ui/level_picker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/model/zoom_labels.h"
#include "gui/ui/dialog_buttons.h"

namespace visual {

LevelPicker::LevelPicker(QWidget* parent) : QDialog(parent), cb_(new QComboBox(this)) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QStringLiteral("Уровень детализации"));
  cb_->setObjectName(QStringLiteral("cb"));
  for (const std::string& item : levelPickerItems()) cb_->addItem(QString::fromStdString(item));
  cb_->setMaxVisibleItems(cb_->count());
  cb_->setMinimumWidth(240);

  const DialogButtons buttons = makeDialogButtons(this, QStringLiteral("Ok"), QStringLiteral("bOk"),
                                                  QStringLiteral("bCancel"));
  connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cb_);
  layout->addLayout(buttons.row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void LevelPicker::setBits(int bits) {
  cb_->setCurrentIndex(levelPickerPosition(bits));
}

std::optional<int> LevelPicker::bits() const {
  if (cb_->currentIndex() < 0) return std::nullopt;
  return cb_->currentIndex() + kFirstLabelledBits;
}

std::optional<int> LevelPicker::pick(int bits) {
  setBits(bits);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return this->bits();
}

}  // namespace visual
