#include "gui/ui/map_file_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ui/dialog_buttons.h"
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

  const DialogButtons buttons = makeDialogButtons(this, QStringLiteral("Ok"), QStringLiteral("bOk"),
                                                  QStringLiteral("bCancel"));
  connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(eFilename_);
  layout->addLayout(buttons.row);
}

std::optional<QString> MapFileDialog::choose(const QString& message, const QString& fileField) {
  label_->setText(message);
  eFilename_->setText(fileField);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return eFilename_->text();
}

}  // namespace visual
