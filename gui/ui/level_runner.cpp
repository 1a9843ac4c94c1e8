#include "gui/ui/level_runner.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "gui/io/generator.h"
#include "gui/ui/native_path.h"

namespace visual {

namespace {

// How often a waiting run looks at its cancel flag, in milliseconds.
constexpr int kPollMs = 100;

QString fromLocal(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// Waits for `process`; false when cancelled (the process is then killed).
bool waitFor(QProcess& process, const std::atomic<bool>& cancel) {
  while (!process.waitForFinished(kPollMs)) {
    if (process.state() == QProcess::NotRunning) return true;
    if (cancel.load()) {
      process.kill();
      process.waitForFinished(-1);
      return false;
    }
  }
  return true;
}

}  // namespace

LevelResult computeLevels(const PreviewInputs& inputs, std::shared_ptr<const SourcePreview> source,
                          bool convert, const std::atomic<bool>& cancel) {
  LevelResult result;
  std::string error;
  if (!source) {
    auto read = std::make_shared<SourcePreview>();
    if (!readSourcePreview(inputs.document.FileName, *read, &error, &cancel)) {
      result.cancelled = error.empty();
      result.error = fromLocal(error);
      return result;
    }
    source = std::move(read);
  }
  result.source = source;
  if (!convert) return result;
  if (inputs.converter.empty()) {
    result.error = QString::fromUtf8(kNoConverter);
    return result;
  }
  QTemporaryDir folder;
  LevelRun run;
  if (!folder.isValid() || !prepareLevelRun(inputs, nativePath(folder.path()), run, &error)) {
    result.error = folder.isValid() ? fromLocal(error) : folder.errorString();
    return result;
  }
  QProcess process;
  process.setWorkingDirectory(folder.path());
  process.setProcessChannelMode(QProcess::SeparateChannels);
  // Only the messages matter; the progress on standard output would fill the pipe.
  process.setStandardOutputFile(QProcess::nullDevice());
  QStringList arguments;
  for (std::size_t i = 1; i < run.command.size(); ++i) arguments << shownPath(run.command[i]);
  // The converter runs in the temporary folder, so a relative path is resolved here first; a
  // bare name that names no file here is left to the search path.
  QString program = shownPath(run.command.front());
  if (const QFileInfo file(program); file.isFile()) program = file.absoluteFilePath();
  process.start(program, arguments);
  if (!process.waitForStarted(-1)) {
    result.error = QString::fromUtf8(kNoConverter) + QStringLiteral("\n") +
                   shownPath(inputs.converter) + ": " + process.errorString();
    return result;
  }
  if (!waitFor(process, cancel)) {
    result.cancelled = true;
    return result;
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    const QString messages = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    result.error = QStringLiteral("zarvex: код завершения %1").arg(process.exitCode());
    if (!messages.isEmpty()) result.error += QStringLiteral("\n") + messages;
    return result;
  }
  if (!readLevelPreviews(run.output, inputs.document.NewLevels, *source, result.levels, &error,
                         &cancel)) {
    result.levels.clear();
    result.cancelled = error.empty();
    result.error = fromLocal(error);
  }
  return result;
}

LevelRunner::LevelRunner(QObject* parent) : QObject(parent) {}

LevelRunner::~LevelRunner() {
  for (Job& job : jobs_) job.cancel->store(true);
  for (Job& job : jobs_) {
    job.thread->wait();
    delete job.thread;
  }
}

void LevelRunner::cancel() {
  for (Job& job : jobs_) job.cancel->store(true);
  ++latest_;
}

void LevelRunner::start(PreviewInputs inputs, std::shared_ptr<const SourcePreview> source,
                        bool convert) {
  cancel();
  const int id = latest_;
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  QThread* thread = QThread::create(
      [this, id, cancel, convert, inputs = std::move(inputs), source = std::move(source)] {
        auto result =
            std::make_shared<const LevelResult>(computeLevels(inputs, source, convert, *cancel));
        QThread* self = QThread::currentThread();
        // Delivered in the runner's thread; a runner being destroyed waits for this thread
        // first, so `this` is alive here.
        QMetaObject::invokeMethod(
            this, [this, self, id, result] { ended(self, id, result); }, Qt::QueuedConnection);
      });
  const bool wasRunning = running();
  jobs_.push_back({thread, cancel});
  thread->start();
  if (!wasRunning) emit runningChanged(true);
}

void LevelRunner::ended(QThread* thread, int id, const std::shared_ptr<const LevelResult>& result) {
  for (auto it = jobs_.begin(); it != jobs_.end(); ++it) {
    if (it->thread != thread) continue;
    thread->wait();
    delete thread;
    jobs_.erase(it);
    break;
  }
  if (id == latest_ && !result->cancelled) emit finished(result);
  if (jobs_.empty()) emit runningChanged(false);
}

}  // namespace visual
