#include "gui/ui/map_file_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ui/file_dialogs.h"
#include "gui/ui/file_field.h"

namespace visual {

MapFileDialog::MapFileDialog(QWidget* parent)
    : QDialog(parent), label_(new QLabel(this)), eFilename_(new FileField(false, this)) {
  setObjectName(QStringLiteral("TForm4"));
  setWindowTitle(QStringLiteral("Выберите файл карты"));
  label_->setObjectName(QStringLiteral("Label1"));
  label_->setWordWrap(true);
  eFilename_->setObjectName(QStringLiteral("eFilename"));
  eFilename_->setMinimumWidth(420);
  eFilename_->setChooser([this](const QString& current) {
    // The field may hold the path in double quotes, as the scan presets it.
    QString start = current;
    if (start.size() >= 2 && start.startsWith(u'"') && start.endsWith(u'"')) {
      start = start.mid(1, start.size() - 2);
    }
    return runFileDialog(this, {"Укажите файл карты", "MAP Polish format|*.MP", ""},
                         FileDialogMode::Open, start);
  });

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
  layout->addWidget(label_);
  layout->addWidget(eFilename_);
  layout->addLayout(buttons);
}

std::optional<QString> MapFileDialog::choose(const QString& message, const QString& fileField) {
  label_->setText(message);
  eFilename_->setText(fileField);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return eFilename_->text();
}

}  // namespace visual
