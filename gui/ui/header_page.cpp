#include "gui/ui/header_page.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/ui/file_field.h"
#include "gui/ui/shown_text.h"

namespace visual {

namespace {

// Fields the user cannot change take the window's colour, so they do not invite typing.
void lookReadOnly(QWidget* field) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  field->setPalette(palette);
}

QLineEdit* readOnlyField(QWidget* parent, const QString& name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  lookReadOnly(edit);
  return edit;
}

QTreeWidget* levelList(QWidget* parent, const QString& name) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHeaderLabels({QStringLiteral("Level"), QStringLiteral("Bits"),
                         QStringLiteral("GPS zoom"), QStringLiteral("MapSource zoom")});
  // Each column as wide as its entries ("300 км - 500 км"), the last one takes the rest.
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list->header()->setStretchLastSection(true);
  return list;
}

// The level rows are the program's own UTF-8 texts.
void fillLevels(QTreeWidget* list, const std::vector<std::array<std::string, 4>>& rows) {
  const int selected = list->currentIndex().isValid() ? list->currentIndex().row() : -1;
  list->clear();
  for (const auto& row : rows) {
    auto* item = new QTreeWidgetItem(list);
    for (int column = 0; column < 4; ++column) {
      item->setText(column, QString::fromStdString(row[static_cast<std::size_t>(column)]));
    }
  }
  // Refills follow every edit; keeping the row lets the user go on with the same level.
  if (selected >= 0 && selected < list->topLevelItemCount()) {
    list->setCurrentItem(list->topLevelItem(selected));
  }
}

}  // namespace

HeaderPage::HeaderPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Header"));
  eID_ = readOnlyField(this, QStringLiteral("eID"));
  eName_ = readOnlyField(this, QStringLiteral("eName"));
  eTypeSet_ = readOnlyField(this, QStringLiteral("eTypeSet"));
  mCopyright_ = new QPlainTextEdit(this);
  mCopyright_->setObjectName(QStringLiteral("mCopyright"));
  mCopyright_->setReadOnly(true);
  lookReadOnly(mCopyright_);
  mCopyright_->setMaximumHeight(56);
  eFilename_ = new FileField(false, this);
  eFilename_->setObjectName(QStringLiteral("eFilename"));
  lReadNote_ = new QLabel(this);
  lReadNote_->setObjectName(QStringLiteral("lReadNote"));
  lReadNote_->setWordWrap(true);
  lReadNote_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lReadNote_->hide();
  lvLevels_ = levelList(this, QStringLiteral("lvLevels"));
  lvNewLevels_ = levelList(this, QStringLiteral("lvNewLevels"));

  bAdd_ = new QPushButton(QStringLiteral("Добавить перед"), this);
  bAdd_->setObjectName(QStringLiteral("bAdd"));
  bDel_ = new QPushButton(QStringLiteral("Удалить"), this);
  bDel_->setObjectName(QStringLiteral("bDel"));
  bChange_ = new QPushButton(QStringLiteral("Изменить"), this);
  bChange_->setObjectName(QStringLiteral("bChange"));
  bChange_->setDefault(true);
  bCityDef_ = new QPushButton(QStringLiteral("Город умолч..."), this);
  bCityDef_->setObjectName(QStringLiteral("bCityDef"));
  bCityDef_->setToolTip(QStringLiteral("Пять уровней от первого уровня открытой карты"));
  bCityDef_->setEnabled(false);
  for (QPushButton* button : {bAdd_, bDel_, bChange_}) button->setEnabled(false);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("ID Map"), eID_);
  form->addRow(QStringLiteral("Name"), eName_);
  form->addRow(QStringLiteral("TypeSet"), eTypeSet_);
  form->addRow(QStringLiteral("Copyright"), mCopyright_);
  form->addRow(QStringLiteral("File"), eFilename_);
  form->addRow(lReadNote_);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(bAdd_);
  buttons->addWidget(bDel_);
  buttons->addWidget(bChange_);
  buttons->addStretch();
  buttons->addWidget(bCityDef_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(lvLevels_, 1);
  layout->addWidget(new QLabel(QStringLiteral("После переделки:"), this));
  layout->addWidget(lvNewLevels_, 1);
  layout->addLayout(buttons);

  connect(lvNewLevels_, &QTreeWidget::itemSelectionChanged, this, &HeaderPage::enableLevelButtons);
  connect(bChange_, &QPushButton::clicked, this, [this] { emit changeLevel(selectedNewLevel()); });
  connect(lvNewLevels_, &QTreeWidget::itemDoubleClicked, this,
          [this] { emit changeLevel(selectedNewLevel()); });
  connect(bAdd_, &QPushButton::clicked, this,
          [this] { emit insertLevelBefore(selectedNewLevel()); });
  connect(bDel_, &QPushButton::clicked, this, [this] { emit deleteLevel(selectedNewLevel()); });
  connect(bCityDef_, &QPushButton::clicked, this, &HeaderPage::defaultLevels);
}

// Level 0 keeps the map's own bits, and fewer than two levels are never left.
void HeaderPage::enableLevelButtons() {
  const int row = selectedNewLevel();
  bAdd_->setEnabled(row > 0);
  bChange_->setEnabled(row > 0);
  bDel_->setEnabled(row > 0 && lvNewLevels_->topLevelItemCount() >= 3);
}

int HeaderPage::selectedNewLevel() const {
  const QList<QTreeWidgetItem*> selected = lvNewLevels_->selectedItems();
  return selected.isEmpty() ? -1 : lvNewLevels_->indexOfTopLevelItem(selected.constFirst());
}

void HeaderPage::showView(const HeaderView& view, int codePage) {
  auto text = [codePage](const std::string& bytes) { return shownText(bytes, codePage); };
  eID_->setText(text(view.eID));
  eName_->setText(text(view.eName));
  eTypeSet_->setText(text(view.eTypeSet));
  if (mCopyright_->toPlainText() != text(view.mCopyright)) {
    mCopyright_->setPlainText(text(view.mCopyright));
  }
  eFilename_->setText(QString::fromStdString(view.eFilename));
  lReadNote_->setText(QString::fromStdString(view.readNote));
  lReadNote_->setVisible(!view.readNote.empty());
  fillLevels(lvLevels_, view.levels);
  fillLevels(lvNewLevels_, view.newLevels);
  enableLevelButtons();
  bCityDef_->setEnabled(view.defaultLevelsEnabled);
}

}  // namespace visual
