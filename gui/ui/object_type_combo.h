#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

namespace visual {

/// An editable list of object types whose entries are fetched each time it opens, because they
/// depend on the kind chosen beside it.
class ObjectTypeCombo final : public QComboBox {
 public:
  /// The entries for the current state of the page.
  using Source = std::function<QStringList()>;

  explicit ObjectTypeCombo(QWidget* parent = nullptr);

  void setSource(Source source);
  /// Refills the entries from the source, keeping the typed text.
  void refill();
  /// Drops the entries, so that the next opening fetches them anew.
  void reset(const QString& text);
  void showPopup() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Source source_;
  bool filled_ = false;
};

}  // namespace visual
