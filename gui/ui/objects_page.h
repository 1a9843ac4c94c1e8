#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "gui/model/editor_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace visual {

class ObjectTypeCombo;

/// The page "Objects": the rule of one object type, as the Workspace's editor state holds it.
class ObjectsPage final : public QWidget {
 public:
  /// Entries of object type list `list` (0 for cbObjectChange, n for cbObjectChange<n>), UTF-8.
  using ItemSource = std::function<QStringList(int list)>;

  explicit ObjectsPage(QWidget* parent = nullptr);

  void setItemSource(ItemSource source);
  /// Shows the lists and values of `state`, whose texts are in `codePage`.
  void showState(const EditorState& state, int codePage);
  /// Writes the values of the controls into `state`; its list entries stay as they are.
  void writeState(EditorState& state, int codePage) const;
  /// Names the type being edited (code, kind and name) at the top of the page.
  void showType(const QString& text);

 private:
  struct ConditionControls {
    QCheckBox* chCond = nullptr;
    QComboBox* cbParam = nullptr;
    QComboBox* cbCond = nullptr;
    QLineEdit* eValue = nullptr;
    QComboBox* cbVisibleFrom = nullptr;
    QComboBox* cbVisibleTo = nullptr;
    QComboBox* cbTypeChange = nullptr;
    ObjectTypeCombo* cbObjectChange = nullptr;
  };

  QWidget* buildCondition(int n);
  QComboBox* pickList(const QString& name);
  QComboBox* levelList(const QString& name);
  ObjectTypeCombo* typeList(const QString& name, int list);
  QWidget* withClearButton(QComboBox* list);
  void updateEnabling();

  ItemSource source_;
  QLabel* lType_;
  QRadioButton* rbVisibleAll_;
  QRadioButton* rbVisibleNotAll_;
  QComboBox* cbVisibleFrom_;
  QComboBox* cbVisibleTo_;
  QCheckBox* chNameChange_;
  QLineEdit* eNameChange_;
  QCheckBox* chNameChangeEmpty_;
  QCheckBox* chNameAdd_;
  QLineEdit* eNameAdd_;
  QCheckBox* chTypeChange_;
  QComboBox* cbTypeChange_;
  QCheckBox* chObjectChange_;
  ObjectTypeCombo* cbObjectChange_;
  QLineEdit* eAdd_;
  std::array<ConditionControls, 3> cond_;
  std::vector<QWidget*> visibilityRange_;
};

}  // namespace visual
