#pragma once

#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QToolButton;

namespace visual {

/// A file path in a line edit with a browse button beside it.
class FileField final : public QWidget {
  Q_OBJECT

 public:
  /// Shows a file dialog starting from the field's text; the chosen path or nothing.
  using Chooser = std::function<std::optional<QString>(const QString& current)>;

  /// `typing` false makes the path editable only through the dialog.
  explicit FileField(bool typing, QWidget* parent = nullptr);

  QString text() const;
  void setText(const QString& text);
  void setChooser(Chooser chooser);
  QLineEdit* lineEdit() const { return edit_; }
  QToolButton* browseButton() const { return browse_; }

 signals:
  /// The dialog closed; the field already shows a chosen path, nothing means cancelled.
  void chosen(const std::optional<QString>& path);

 private:
  void browse();

  QLineEdit* edit_;
  QToolButton* browse_;
  Chooser chooser_;
};

}  // namespace visual
