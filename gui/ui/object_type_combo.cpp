#include "gui/ui/object_type_combo.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>

namespace visual {

ObjectTypeCombo::ObjectTypeCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  lineEdit()->setMaxLength(50);
  setMaxVisibleItems(20);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(6);
  // Typing opens the matching entries while the text stays editable.
  completer()->setCompletionMode(QCompleter::PopupCompletion);
  completer()->setCaseSensitivity(Qt::CaseInsensitive);
  completer()->setFilterMode(Qt::MatchContains);
}

void ObjectTypeCombo::setSource(Source source) {
  source_ = std::move(source);
}

void ObjectTypeCombo::refill() {
  const QString text = currentText();
  const int cursor = lineEdit()->cursorPosition();
  clear();
  if (source_) {
    QStringList items = source_();
    items.sort();
    addItems(items);
  }
  setCurrentIndex(findText(text));
  setEditText(text);
  lineEdit()->setCursorPosition(cursor);
  filled_ = true;
}

void ObjectTypeCombo::reset(const QString& text) {
  clear();
  setEditText(text);
  lineEdit()->setCursorPosition(0);
  filled_ = false;
}

void ObjectTypeCombo::showPopup() {
  refill();
  QComboBox::showPopup();
}

void ObjectTypeCombo::keyPressEvent(QKeyEvent* event) {
  if (!filled_ && !event->text().isEmpty() && event->text().at(0).isPrint()) refill();
  QComboBox::keyPressEvent(event);
}

}  // namespace visual
