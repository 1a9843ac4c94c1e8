#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <list>
#include <memory>
#include <vector>

#include "gui/io/level_preview.h"
#include "gui/io/preview_reader.h"

class QThread;

namespace visual {

/// The pictures of one state of the document: the open map and each new level.
struct LevelResult {
  std::shared_ptr<const SourcePreview> source;
  /// One map per new level; empty when the conversion failed or was not asked for.
  std::vector<PreviewMap> levels;
  /// What went wrong, for the user; empty on success.
  QString error;
  bool cancelled = false;
};

/// Reads the open map of `inputs` (unless `source` is given) and, with `convert`, converts the
/// document in a temporary folder with the converter and reads each level of its result. Waits
/// for the converter; `cancel` stops it within a tenth of a second.
LevelResult computeLevels(const PreviewInputs& inputs, std::shared_ptr<const SourcePreview> source,
                          bool convert, const std::atomic<bool>& cancel);

/// Runs computeLevels off the GUI thread. A newer start cancels every older run, whose result
/// is then never reported.
class LevelRunner final : public QObject {
  Q_OBJECT

 public:
  explicit LevelRunner(QObject* parent = nullptr);
  /// Cancels what runs and waits for it to stop.
  ~LevelRunner() override;

  void start(PreviewInputs inputs, std::shared_ptr<const SourcePreview> source, bool convert);
  /// Cancels every run; none reports.
  void cancel();
  bool running() const { return !jobs_.empty(); }

 signals:
  /// The result of the latest start.
  void finished(const std::shared_ptr<const LevelResult>& result);
  /// A run was started or all runs have ended.
  void runningChanged(bool running);

 private:
  struct Job {
    QThread* thread = nullptr;
    std::shared_ptr<std::atomic<bool>> cancel;
  };
  void ended(QThread* thread, int id, const std::shared_ptr<const LevelResult>& result);

  std::list<Job> jobs_;
  int latest_ = 0;
};

}  // namespace visual
