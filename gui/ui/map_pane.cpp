#include "gui/ui/map_pane.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/io/generator.h"
#include "gui/model/names.h"
#include "gui/ui/map_canvas.h"
#include "gui/ui/native_path.h"
#include "gui/ui/preview_style.h"
#include "gui/ui/shown_text.h"

namespace visual {

namespace {

// How long the rules must stay unchanged before the levels are converted again.
constexpr int kPauseMs = 800;

// The open map's file as it is now: its path, size and time, so that an edited map is read again.
std::string mapStamp(const std::string& path) {
  const QFileInfo file(shownPath(path));
  return path + '\n' + std::to_string(file.size()) + ' ' +
         std::to_string(file.lastModified().toMSecsSinceEpoch());
}

// Everything a conversion depends on, so that an unchanged document is not converted again.
std::string fingerprintOf(const PreviewInputs& inputs) {
  const MapInfo& d = inputs.document;
  std::string text =
      mapStamp(d.FileName) + '\n' + inputs.converter + '\n' + (inputs.lenient ? "1" : "0");
  for (int i = 0; i < d.NewLevels && i < kLevelSlots; ++i)
    text += ' ' + std::to_string(d.NewLevel[static_cast<std::size_t>(i)]) + '/' +
            std::to_string(d.NewZoom[static_cast<std::size_t>(i)]);
  return text + '\n' + scriptText(d, inputs.rules, {});
}

QTableWidgetItem* cell(const QString& text, bool number) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

MapPane::MapPane(std::function<PreviewInputs()> inputs, QWidget* parent)
    : QWidget(parent),
      inputs_(std::move(inputs)),
      runner_(new LevelRunner(this)),
      pause_(new QTimer(this)) {
  setObjectName(QStringLiteral("MapPane"));
  levelSelector_ = new QComboBox(this);
  levelSelector_->setObjectName(QStringLiteral("cbMapLevel"));
  // As wide as the row allows whichever level is shown, so that the buttons beside it stay put.
  levelSelector_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  levelSelector_->setMinimumContentsLength(16);
  levelSelector_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  refresh_ = new QPushButton(QStringLiteral("Обновить"), this);
  refresh_->setObjectName(QStringLiteral("bMapRefresh"));
  fit_ = new QPushButton(QStringLiteral("Вся карта"), this);
  fit_->setObjectName(QStringLiteral("bMapFit"));
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("pbMap"));
  progress_->setRange(0, 0);
  progress_->setMaximumWidth(120);
  progress_->setTextVisible(false);
  progress_->hide();
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("lMapNote"));
  note_->setWordWrap(true);
  note_->setTextFormat(Qt::PlainText);
  note_->setStyleSheet(QStringLiteral("color: #b00020"));
  note_->hide();
  counts_ = new QTableWidget(0, 4, this);
  counts_->setObjectName(QStringLiteral("tblLevelCounts"));
  counts_->setHorizontalHeaderLabels({QStringLiteral("Уровень"), QStringLiteral("Объектов"),
                                      QStringLiteral("Точек"), QStringLiteral("Доля точек")});
  counts_->verticalHeader()->hide();
  counts_->verticalHeader()->setDefaultSectionSize(counts_->fontMetrics().height() + 4);
  counts_->setSelectionMode(QAbstractItemView::NoSelection);
  counts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  counts_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  counts_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  counts_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  counts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  canvas_ = new MapCanvas(this);

  auto* top = new QHBoxLayout;
  top->addWidget(levelSelector_, 1);
  top->addWidget(refresh_);
  top->addWidget(fit_);
  top->addWidget(progress_);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  column->addLayout(top);
  column->addWidget(counts_);
  column->addWidget(note_);
  column->addWidget(canvas_, 1);

  pause_->setInterval(kPauseMs);
  connect(pause_, &QTimer::timeout, this, &MapPane::tick);
  connect(refresh_, &QPushButton::clicked, this, &MapPane::refreshNow);
  connect(fit_, &QPushButton::clicked, canvas_, &MapCanvas::fit);
  connect(levelSelector_, &QComboBox::currentIndexChanged, this, &MapPane::showLevel);
  connect(canvas_, &MapCanvas::objectClicked, this, &MapPane::clicked);
  connect(runner_, &LevelRunner::finished, this, &MapPane::finished);
  connect(runner_, &LevelRunner::runningChanged, progress_, &QWidget::setVisible);
  pause_->start();
}

MapPane::~MapPane() = default;

bool MapPane::running() const {
  return runner_->running();
}

void MapPane::showWorkspace(const Workspace& workspace) {
  codePage_ = workspace.codePage();
  canvas_->setStyle(styleOf(workspace, selectedType(workspace)));
  if (isVisible()) tick();
}

void MapPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  tick();
}

void MapPane::refreshNow() {
  const PreviewInputs inputs = inputs_();
  start(inputs, fingerprintOf(inputs));
}

void MapPane::stop() {
  runner_->cancel();
  computed_.clear();
  seen_.clear();
  sourceFile_.clear();
  resultFile_.clear();
  pending_.reset();
  result_.reset();
  levels_.clear();
  note_->hide();
  counts_->setRowCount(0);
  const QSignalBlocker blocker(levelSelector_);
  levelSelector_->clear();
  canvas_->setMap(std::make_shared<const PreviewMap>(), {});
}

void MapPane::tick() {
  // A dialog may be open in the middle of an action, with the document half changed.
  if (!isVisible() || QApplication::activeModalWidget()) return;
  const PreviewInputs inputs = inputs_();
  if (inputs.document.FileName.empty()) {
    // The old map's run and pictures would stand for a document without one.
    if (!sourceFile_.empty()) stop();
    return;
  }
  const std::string fingerprint = fingerprintOf(inputs);
  // A new map is drawn at once; edits wait until they have stopped for a moment.
  const bool newMap = mapStamp(inputs.document.FileName) != sourceFile_;
  if (fingerprint != computed_ && (newMap || fingerprint == seen_)) start(inputs, fingerprint);
  seen_ = fingerprint;
}

void MapPane::start(const PreviewInputs& inputs, const std::string& fingerprint) {
  if (inputs.document.FileName.empty()) return;
  computed_ = seen_ = fingerprint;
  sourceFile_ = mapStamp(inputs.document.FileName);
  document_ = inputs.document;
  // The open map is read again only when it is another file or has changed, and is then drawn
  // before its levels are converted.
  if (result_ && result_->source && resultFile_ == sourceFile_) {
    pending_.reset();
    runner_->start(inputs, result_->source, true);
  } else {
    pending_ = inputs;
    runner_->start(inputs, nullptr, false);
  }
}

void MapPane::finished(const std::shared_ptr<const LevelResult>& result) {
  result_ = result;
  resultFile_ = sourceFile_;
  levels_.clear();
  for (const PreviewMap& level : result->levels)
    levels_.push_back(std::shared_ptr<const PreviewMap>(result, &level));
  note_->setText(result->error);
  note_->setVisible(!result->error.isEmpty());
  fillLevels(document_);
  fillCounts();
  showLevel();
  if (pending_ && result->source && result->error.isEmpty()) {
    PreviewInputs inputs = std::move(*pending_);
    pending_.reset();
    runner_->start(std::move(inputs), result->source, true);
  }
}

void MapPane::fillLevels(const MapInfo& document) {
  const int shown = levelSelector_->currentIndex();
  const QSignalBlocker blocker(levelSelector_);
  levelSelector_->clear();
  levelSelector_->addItem(QString::fromStdString(levelTitle(-1, 0)));
  for (int i = 0; i < document.NewLevels && i < kLevelSlots; ++i)
    levelSelector_->addItem(
        QString::fromStdString(levelTitle(i, document.NewLevel[static_cast<std::size_t>(i)])));
  levelSelector_->setCurrentIndex(shown >= 0 && shown < levelSelector_->count() ? shown : 0);
}

void MapPane::fillCounts() {
  counts_->setRowCount(0);
  if (!result_ || !result_->source) return;
  const std::uint64_t sourcePoints = result_->source->points;
  std::vector<std::pair<QString, LevelCounts>> rows;
  rows.push_back({QString::fromStdString(levelTitle(-1, 0)), countsOf(*result_->source)});
  for (std::size_t i = 0; i < levels_.size(); ++i)
    rows.push_back({QStringLiteral("%1: %2 бит")
                        .arg(i)
                        .arg(document_.NewLevel[std::min(i, document_.NewLevel.size() - 1)]),
                    countsOf(*levels_[i], sourcePoints)});
  counts_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const auto& [name, counts] = rows[static_cast<std::size_t>(r)];
    counts_->setItem(r, 0, cell(name, false));
    counts_->setItem(r, 1, cell(QString::number(counts.objects), true));
    counts_->setItem(r, 2, cell(QString::number(counts.points), true));
    counts_->setItem(r, 3, cell(QString::fromStdString(shareText(counts)), true));
  }
  counts_->resizeColumnsToContents();
  int height = counts_->horizontalHeader()->height() + 2 * counts_->frameWidth();
  for (int r = 0; r < counts_->rowCount(); ++r) height += counts_->rowHeight(r);
  counts_->setFixedHeight(height);
}

void MapPane::showLevel() {
  if (!result_ || !result_->source) return;
  const int level = levelSelector_->currentIndex() - 1;
  std::shared_ptr<const PreviewMap> map;
  if (level < 0)
    map = std::shared_ptr<const PreviewMap>(result_->source, &result_->source->map);
  else if (static_cast<std::size_t>(level) < levels_.size())
    map = levels_[static_cast<std::size_t>(level)];
  else
    map = std::make_shared<const PreviewMap>();
  canvas_->setMap(map, result_->source->map.bounds);
}

void MapPane::clicked(std::size_t index) {
  const PreviewMap* map = canvas_->map();
  if (!map || index >= map->objects.size()) return;
  const PreviewObject& object = map->objects[index];
  QString text = shownText(object.label, codePage_);
  if (!text.isEmpty()) text += QStringLiteral(" — ");
  text += QStringLiteral("Type=0x%1 (%2)")
              .arg(object.type, 0, 16)
              .arg(QString::fromStdString(kindListName(object.kind)));
  emit objectClicked(object.sourceKind, object.sourceType, text);
}

}  // namespace visual
