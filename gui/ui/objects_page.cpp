#include "gui/ui/objects_page.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/model/names.h"
#include "gui/ui/object_type_combo.h"
#include "gui/ui/shown_text.h"

namespace visual {

namespace {

// The editor's list entries are the program's own UTF-8 texts.
void fill(QComboBox* list, const std::vector<std::string>& items, int position) {
  list->clear();
  for (const std::string& item : items) list->addItem(QString::fromStdString(item));
  list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
  // However narrow the window, the opened list shows its entries whole.
  QAbstractItemView* view = list->view();
  view->setMinimumWidth(view->sizeHintForColumn(0) + view->verticalScrollBar()->sizeHint().width());
}

QLineEdit* lineEdit(QWidget* parent, const QString& name, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(maxLength);
  return edit;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

}  // namespace

ObjectsPage::ObjectsPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Objects"));
  lType_ = new QLabel(this);
  lType_->setObjectName(QStringLiteral("lType"));
  lType_->setTextFormat(Qt::PlainText);
  lType_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont typeFont = lType_->font();
  typeFont.setBold(true);
  typeFont.setPointSizeF(typeFont.pointSizeF() * 1.15);
  lType_->setFont(typeFont);

  rbVisibleAll_ = new QRadioButton(QStringLiteral("Видим всегда"), this);
  rbVisibleAll_->setObjectName(QStringLiteral("rbVisibleAll"));
  rbVisibleAll_->setChecked(true);
  rbVisibleNotAll_ = new QRadioButton(QStringLiteral("Ограничение видимости"), this);
  rbVisibleNotAll_->setObjectName(QStringLiteral("rbVisibleNotAll"));
  auto* visibilityGroup = new QButtonGroup(this);
  visibilityGroup->addButton(rbVisibleAll_);
  visibilityGroup->addButton(rbVisibleNotAll_);
  cbVisibleFrom_ = levelList(QStringLiteral("cbVisibleFrom"));
  cbVisibleTo_ = levelList(QStringLiteral("cbVisibleTo"));

  chNameChange_ =
      checkBox(this, QStringLiteral("chNameChange"), QStringLiteral("Изменить название на"));
  eNameChange_ = lineEdit(this, QStringLiteral("eNameChange"), 100);
  chNameChangeEmpty_ =
      checkBox(this, QStringLiteral("chNameChangeEmpty"), QStringLiteral("Только если пусто"));
  chNameAdd_ = checkBox(this, QStringLiteral("chNameAdd"), QStringLiteral("Добавить к названию"));
  eNameAdd_ = lineEdit(this, QStringLiteral("eNameAdd"), 100);
  chTypeChange_ = checkBox(this, QStringLiteral("chTypeChange"), QStringLiteral("Сменить тип на"));
  cbTypeChange_ = pickList(QStringLiteral("cbTypeChange"));
  chObjectChange_ =
      checkBox(this, QStringLiteral("chObjectChange"), QStringLiteral("Сменить тип объекта на"));
  cbObjectChange_ = typeList(QStringLiteral("cbObjectChange"), 0);
  eAdd_ = lineEdit(this, QStringLiteral("eAdd"), 255);

  auto* visibility = new QHBoxLayout;
  visibility->addWidget(rbVisibleAll_);
  visibility->addSpacing(16);
  visibility->addWidget(rbVisibleNotAll_);
  visibility->addStretch();
  auto* fromLabel = new QLabel(QStringLiteral("С уровня"), this);
  auto* toLabel = new QLabel(QStringLiteral("До уровня"), this);
  QWidget* from = withClearButton(cbVisibleFrom_);
  QWidget* to = withClearButton(cbVisibleTo_);
  visibilityRange_ = {fromLabel, toLabel, from, to};
  auto* range = new QHBoxLayout;
  range->addSpacing(20);
  range->addWidget(fromLabel);
  range->addWidget(from, 1);
  range->addSpacing(12);
  range->addWidget(toLabel);
  range->addWidget(to, 1);

  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(4);
  grid->setColumnStretch(1, 1);
  grid->addWidget(chNameChange_, 0, 0);
  grid->addWidget(eNameChange_, 0, 1);
  grid->addWidget(chNameChangeEmpty_, 0, 2);
  grid->addWidget(chNameAdd_, 1, 0);
  grid->addWidget(eNameAdd_, 1, 1);
  grid->addWidget(chTypeChange_, 2, 0);
  grid->addWidget(withClearButton(cbTypeChange_), 2, 1);
  grid->addWidget(chObjectChange_, 3, 0);
  grid->addWidget(withClearButton(cbObjectChange_), 3, 1);

  auto* addLabel = new QLabel(
      QStringLiteral(
          "Произвольная строка  (полностью на Ваше усмотрение, предварительно изучите правила!!)"),
      this);
  addLabel->setWordWrap(true);
  addLabel->setBuddy(eAdd_);

  auto* conditions = new QHBoxLayout;
  conditions->setSpacing(4);
  for (int n = 1; n <= 3; ++n) conditions->addWidget(buildCondition(n), 1);

  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(lType_);
  layout->addSpacing(2);
  layout->addLayout(visibility);
  layout->addLayout(range);
  layout->addSpacing(2);
  layout->addLayout(grid);
  layout->addSpacing(2);
  layout->addWidget(addLabel);
  layout->addWidget(eAdd_);
  layout->addSpacing(2);
  layout->addWidget(new QLabel(QStringLiteral("Изменения при выполнении условий:"), this));
  layout->addLayout(conditions);
  layout->addStretch();

  connect(rbVisibleAll_, &QRadioButton::toggled, this, &ObjectsPage::updateEnabling);
  // The type lists offer the types of the kind chosen beside them, so a new kind means new entries.
  connect(cbTypeChange_, &QComboBox::currentIndexChanged, this,
          [this] { cbObjectChange_->reset(cbObjectChange_->currentText()); });
  connect(chTypeChange_, &QCheckBox::toggled, this,
          [this] { cbObjectChange_->reset(cbObjectChange_->currentText()); });
  updateEnabling();
}

QWidget* ObjectsPage::buildCondition(int n) {
  ConditionControls& c = cond_[static_cast<std::size_t>(n - 1)];
  const QString number = QString::number(n);
  auto* panel = new QGroupBox(number + u'.', this);
  panel->setObjectName(QStringLiteral("pCond") + number);
  c.chCond = checkBox(panel, QStringLiteral("chCond") + number, QStringLiteral("Если"));
  c.cbParam = pickList(QStringLiteral("cbParam") + number);
  c.cbCond = pickList(QStringLiteral("cbCond") + number);
  for (const std::string& item : comparisonItems()) c.cbCond->addItem(QString::fromStdString(item));
  c.cbCond->setCurrentIndex(0);
  c.eValue = lineEdit(panel, QStringLiteral("eValue") + number, 20);
  c.cbVisibleFrom = levelList(QStringLiteral("cbVisibleFrom") + number);
  c.cbVisibleTo = levelList(QStringLiteral("cbVisibleTo") + number);
  c.cbTypeChange = pickList(QStringLiteral("cbTypeChange") + number);
  c.cbObjectChange = typeList(QStringLiteral("cbObjectChange") + number, n);
  ObjectTypeCombo* objectChange = c.cbObjectChange;
  connect(c.cbTypeChange, &QComboBox::currentIndexChanged, this,
          [objectChange] { objectChange->reset(objectChange->currentText()); });

  // Three panels side by side: each one a narrow column of label and list pairs.
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(4, 2, 4, 4);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(3);
  grid->setColumnStretch(1, 1);
  grid->addWidget(c.chCond, 0, 0);
  grid->addWidget(c.cbParam, 0, 1);
  grid->addWidget(c.cbCond, 1, 0);
  grid->addWidget(c.eValue, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Видим С"), panel), 2, 0);
  grid->addWidget(withClearButton(c.cbVisibleFrom), 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("По"), panel), 3, 0);
  grid->addWidget(withClearButton(c.cbVisibleTo), 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("Сменить тип на"), panel), 4, 0, 1, 2);
  grid->addWidget(withClearButton(c.cbTypeChange), 5, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Сменить тип объекта"), panel), 6, 0, 1, 2);
  grid->addWidget(withClearButton(c.cbObjectChange), 7, 0, 1, 2);
  return panel;
}

QComboBox* ObjectsPage::pickList(const QString& name) {
  auto* list = new QComboBox(this);
  list->setObjectName(name);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  // The lists hold no icons, so no room is kept for one: three panels side by side need it.
  list->setIconSize(QSize(0, 0));
  list->setMinimumContentsLength(3);
  return list;
}

// Entries such as "3:18 5 км - 8 км" are told apart by their labels. Three panels side by side
// leave them room only in a wide window; the opened list and the tip show them whole always.
QComboBox* ObjectsPage::levelList(const QString& name) {
  QComboBox* list = pickList(name);
  list->setMinimumContentsLength(6);
  connect(list, &QComboBox::currentTextChanged, list, &QComboBox::setToolTip);
  return list;
}

ObjectTypeCombo* ObjectsPage::typeList(const QString& name, int list) {
  auto* combo = new ObjectTypeCombo(this);
  combo->setObjectName(name);
  combo->setSource([this, list] { return source_ ? source_(list) : QStringList(); });
  return combo;
}

QWidget* ObjectsPage::withClearButton(QComboBox* list) {
  auto* box = new QWidget(this);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  auto* clear = new QToolButton(box);
  clear->setObjectName(u'_' + list->objectName());
  clear->setText(QStringLiteral("×"));
  clear->setToolTip(QStringLiteral("Очистить"));
  clear->setAutoRaise(true);
  clear->setFixedWidth(16);
  row->addWidget(list, 1);
  row->addWidget(clear);
  connect(clear, &QToolButton::clicked, list, [list] {
    list->setCurrentIndex(-1);
    if (list->isEditable()) list->clearEditText();
  });
  return box;
}

void ObjectsPage::showType(const QString& text) {
  lType_->setText(text);
}

void ObjectsPage::setItemSource(ItemSource source) {
  source_ = std::move(source);
}

void ObjectsPage::updateEnabling() {
  for (QWidget* widget : visibilityRange_) widget->setEnabled(rbVisibleNotAll_->isChecked());
}

void ObjectsPage::showState(const EditorState& state, int codePage) {
  rbVisibleAll_->setChecked(state.rbVisibleAll);
  rbVisibleNotAll_->setChecked(!state.rbVisibleAll);
  fill(cbVisibleFrom_, state.levelItems, state.cbVisibleFrom);
  fill(cbVisibleTo_, state.levelItems, state.cbVisibleTo);
  chNameChange_->setChecked(state.chNameChange);
  eNameChange_->setText(shownText(state.eNameChange, codePage));
  chNameChangeEmpty_->setChecked(state.chNameChangeEmpty);
  chNameAdd_->setChecked(state.chNameAdd);
  eNameAdd_->setText(shownText(state.eNameAdd, codePage));
  chTypeChange_->setChecked(state.chTypeChange);
  fill(cbTypeChange_, state.kindItems, state.cbTypeChange);
  chObjectChange_->setChecked(state.chObjectChange);
  cbObjectChange_->reset(shownText(state.cbObjectChange, codePage));
  eAdd_->setText(shownText(state.eAdd, codePage));
  eAdd_->setCursorPosition(0);
  for (std::size_t i = 0; i < cond_.size(); ++i) {
    const EditorState::Condition& from = state.cond[i];
    ConditionControls& c = cond_[i];
    c.chCond->setEnabled(state.conditionsEnabled);
    c.chCond->setChecked(from.chCond);
    fill(c.cbParam, state.paramItems, from.cbParam);
    c.cbCond->setCurrentIndex(from.cbCond >= 0 && from.cbCond < c.cbCond->count() ? from.cbCond
                                                                                  : -1);
    c.eValue->setText(shownText(from.eValue, codePage));
    fill(c.cbVisibleFrom, state.levelItems, from.cbVisibleFrom);
    fill(c.cbVisibleTo, state.levelItems, from.cbVisibleTo);
    fill(c.cbTypeChange, state.kindItems, from.cbTypeChange);
    c.cbObjectChange->reset(shownText(from.cbObjectChange, codePage));
  }
  updateEnabling();
}

void ObjectsPage::writeState(EditorState& state, int codePage) const {
  state.rbVisibleAll = rbVisibleAll_->isChecked();
  state.cbVisibleFrom = cbVisibleFrom_->currentIndex();
  state.cbVisibleTo = cbVisibleTo_->currentIndex();
  state.chNameChange = chNameChange_->isChecked();
  state.eNameChange = storedText(eNameChange_->text(), codePage);
  state.chNameChangeEmpty = chNameChangeEmpty_->isChecked();
  state.chNameAdd = chNameAdd_->isChecked();
  state.eNameAdd = storedText(eNameAdd_->text(), codePage);
  state.chTypeChange = chTypeChange_->isChecked();
  state.cbTypeChange = cbTypeChange_->currentIndex();
  state.chObjectChange = chObjectChange_->isChecked();
  state.cbObjectChange = storedText(cbObjectChange_->currentText(), codePage);
  state.eAdd = storedText(eAdd_->text(), codePage);
  for (std::size_t i = 0; i < cond_.size(); ++i) {
    const ConditionControls& c = cond_[i];
    EditorState::Condition& to = state.cond[i];
    to.chCond = c.chCond->isChecked();
    to.cbParam = c.cbParam->currentIndex();
    to.cbCond = c.cbCond->currentIndex();
    to.eValue = storedText(c.eValue->text(), codePage);
    to.cbVisibleFrom = c.cbVisibleFrom->currentIndex();
    to.cbVisibleTo = c.cbVisibleTo->currentIndex();
    to.cbTypeChange = c.cbTypeChange->currentIndex();
    to.cbObjectChange = storedText(c.cbObjectChange->currentText(), codePage);
  }
}

}  // namespace visual
