#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace visual {

/// The buttons at the foot of a dialog: the default button and "Отмена", which rejects.
struct DialogButtons {
  QPushButton* ok;
  QPushButton* cancel;
  /// The two buttons, right-aligned; a caller may put more widgets at its start.
  QHBoxLayout* row;
};

/// Creates the default button `okText` named `okName` and "Отмена" named `cancelName`.
DialogButtons makeDialogButtons(QDialog* dialog, const QString& okText, const QString& okName,
                                const QString& cancelName);

}  // namespace visual
