#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/io/level_preview.h"
#include "gui/io/workspace.h"
#include "gui/ui/level_runner.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace visual {

class MapCanvas;

/// The pane "Карта": the open map or a new level as the converter writes it, a level selector,
/// the objects and points of each level, and the view. It converts the document again when the
/// rules or levels have changed and then stayed unchanged for a moment, or on "Обновить".
class MapPane final : public QWidget {
  Q_OBJECT

 public:
  /// `inputs` gives the document as the window holds it at that moment.
  MapPane(std::function<PreviewInputs()> inputs, QWidget* parent = nullptr);
  ~MapPane() override;

  /// The workspace changed (selection, rules, map): follows it in the view.
  void showWorkspace(const Workspace& workspace);
  /// Converts now, whatever changed ("Обновить").
  void refreshNow();
  /// Stops what runs and shows no map until one is open again (the window closes, "Новый").
  void stop();

  MapCanvas* canvas() const { return canvas_; }
  bool running() const;

 signals:
  /// An object was clicked: the kind and type of the open map it comes from, and a text with
  /// its label and type for the status bar.
  void objectClicked(int sourceKind, int sourceType, const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void tick();
  void start(const PreviewInputs& inputs, const std::string& fingerprint);
  void finished(const std::shared_ptr<const LevelResult>& result);
  void showLevel();
  void fillLevels(const MapInfo& document);
  void fillCounts();
  void clicked(std::size_t index);

  std::function<PreviewInputs()> inputs_;
  LevelRunner* runner_;
  QTimer* pause_;
  int codePage_ = 1251;
  // What the last run converted, what the last look saw, the open map's file as the last run
  // read it and as the shown result read it.
  std::string computed_, seen_;
  std::string sourceFile_, resultFile_;
  std::shared_ptr<const LevelResult> result_;
  // A conversion waiting for the open map to be read and drawn first.
  std::optional<PreviewInputs> pending_;
  std::vector<std::shared_ptr<const PreviewMap>> levels_;
  MapInfo document_;

  QComboBox* levelSelector_;
  QPushButton* refresh_;
  QPushButton* fit_;
  QProgressBar* progress_;
  QLabel* note_;
  QTableWidget* counts_;
  MapCanvas* canvas_;
};

}  // namespace visual
