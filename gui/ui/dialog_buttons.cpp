#include "gui/ui/dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace visual {

DialogButtons makeDialogButtons(QDialog* dialog, const QString& okText, const QString& okName,
                                const QString& cancelName) {
  auto* ok = new QPushButton(okText, dialog);
  ok->setObjectName(okName);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Отмена"), dialog);
  cancel->setObjectName(cancelName);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return {ok, cancel, row};
}

}  // namespace visual
