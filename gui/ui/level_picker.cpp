#include "gui/ui/level_picker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/model/zoom_labels.h"

namespace visual {

LevelPicker::LevelPicker(QWidget* parent) : QDialog(parent), cb_(new QComboBox(this)) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QStringLiteral("Уровень детализации"));
  cb_->setObjectName(QStringLiteral("cb"));
  for (const std::string& item : levelPickerItems()) cb_->addItem(QString::fromStdString(item));
  cb_->setMaxVisibleItems(cb_->count());
  cb_->setMinimumWidth(240);

  auto* ok = new QPushButton(QStringLiteral("Ok"), this);
  ok->setObjectName(QStringLiteral("bOk"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
  cancel->setObjectName(QStringLiteral("bCancel"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cb_);
  layout->addLayout(buttons);
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
