#pragma once

#include <QWidget>
#include <optional>

#include "gui/io/workspace.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace visual {

class FileField;

/// The page "Header": the map's header and levels, and the levels of the map to be produced.
class HeaderPage final : public QWidget {
  Q_OBJECT

 public:
  explicit HeaderPage(QWidget* parent = nullptr);

  /// Shows `view`, whose texts are in `codePage` (the path is not).
  void showView(const HeaderView& view, int codePage);
  /// The map file field; its chooser is set by the owner.
  FileField* fileField() const { return eFilename_; }
  /// The selected row of lvNewLevels, -1 for none.
  int selectedNewLevel() const;

 signals:
  void changeLevel(int row);
  void insertLevelBefore(int row);
  void deleteLevel(int row);
  void defaultLevels();

 private:
  void enableLevelButtons();

  QLineEdit* eID_;
  QLineEdit* eName_;
  QLineEdit* eTypeSet_;
  QPlainTextEdit* mCopyright_;
  FileField* eFilename_;
  QLabel* lReadNote_;
  QTreeWidget* lvLevels_;
  QTreeWidget* lvNewLevels_;
  QPushButton* bAdd_;
  QPushButton* bDel_;
  QPushButton* bChange_;
  QPushButton* bCityDef_;
};

}  // namespace visual
