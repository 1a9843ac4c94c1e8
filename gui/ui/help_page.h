#pragma once

#include <QWidget>

class QPushButton;

namespace visual {

/// A page of read-only text with one button that leads to the other help page.
class HelpPage final : public QWidget {
 public:
  /// The page "Default": what the program is for and how to use it.
  static HelpPage* description(QWidget* parent);
  /// The page "Changes": the change history.
  static HelpPage* changes(QWidget* parent);

  QPushButton* button() const { return button_; }

 private:
  HelpPage(const QString& name, const QString& html, const QString& buttonName,
           const QString& buttonText, QWidget* parent);

  QPushButton* button_;
};

}  // namespace visual
