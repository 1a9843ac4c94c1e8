#include "gui/ui/file_field.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace visual {

FileField::FileField(bool typing, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), browse_(new QToolButton(this)) {
  edit_->setObjectName(QStringLiteral("edit"));
  edit_->setReadOnly(!typing);
  browse_->setObjectName(QStringLiteral("browse"));
  browse_->setText(QStringLiteral("..."));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(edit_, 1);
  layout->addWidget(browse_);
  setFocusProxy(edit_);
  connect(browse_, &QToolButton::clicked, this, &FileField::browse);
}

QString FileField::text() const {
  return edit_->text();
}

void FileField::setText(const QString& text) {
  edit_->setText(text);
  edit_->setCursorPosition(0);
}

void FileField::setChooser(Chooser chooser) {
  chooser_ = std::move(chooser);
}

void FileField::browse() {
  if (!chooser_) return;
  const std::optional<QString> path = chooser_(edit_->text());
  if (path) setText(*path);
  emit chosen(path);
}

}  // namespace visual
