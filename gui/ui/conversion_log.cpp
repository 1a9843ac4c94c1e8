#include "gui/ui/conversion_log.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace visual {

namespace {

// What the report reads is at the end; a converter that floods its streams does not fill memory.
constexpr std::size_t kKeptBytes = 64 << 10;
constexpr int kKeptLines = 20000;
constexpr int kStartWaitMs = 30000;
constexpr int kStopWaitMs = 5000;

void keepTail(std::string& kept, const QByteArray& bytes) {
  kept.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (kept.size() > kKeptBytes) kept.erase(0, kept.size() - kKeptBytes);
}

}  // namespace

ConversionLog::ConversionLog(QWidget* parent)
    : QWidget(parent),
      process_(new QProcess(this)),
      log_(new QPlainTextEdit(this)),
      status_(new QLabel(this)) {
  setObjectName(QStringLiteral("ConversionLog"));
  log_->setObjectName(QStringLiteral("mLog"));
  log_->setReadOnly(true);
  log_->setLineWrapMode(QPlainTextEdit::NoWrap);
  log_->setMaximumBlockCount(kKeptLines);
  log_->setFont(QFont(QStringLiteral("monospace")));
  log_->setMinimumHeight(180);
  status_->setObjectName(QStringLiteral("lRunStatus"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(log_, 1);
  layout->addWidget(status_);

  connect(process_, &QProcess::readyReadStandardOutput, this,
          [this] { take(QProcess::StandardOutput); });
  connect(process_, &QProcess::readyReadStandardError, this,
          [this] { take(QProcess::StandardError); });
  connect(process_, &QProcess::finished, this, &ConversionLog::end);
}

ConversionLog::~ConversionLog() {
  if (!running()) return;
  stop();
  if (running()) process_->kill();
  process_->waitForFinished(kStopWaitMs);
}

bool ConversionLog::start(const ConverterRun& run) {
  if (running() || run.command.empty()) return false;
  log_->clear();
  out_.clear();
  err_.clear();
  stopped_ = false;
  // The converter's command ends with the script and the output map.
  script_ = run.command.size() >= 3 ? run.command[run.command.size() - 2] : std::string();
  status_->setStyleSheet({});
  status_->setText(QStringLiteral("Конвертация…"));

  QStringList arguments;
  for (std::size_t i = 1; i < run.command.size(); ++i)
    arguments << QString::fromStdString(run.command[i]);
  process_->setWorkingDirectory(QFileInfo(QString::fromStdString(run.batchFile)).absolutePath());
  process_->setProgram(QString::fromStdString(run.command.front()));
  process_->setArguments(arguments);
  process_->setStandardInputFile(QProcess::nullDevice());
  process_->start();
  if (process_->waitForStarted(kStartWaitMs)) return true;
  const QString why = QStringLiteral("Не удалось запустить %1 (%2)")
                          .arg(process_->program(), process_->errorString());
  append(why + u'\n');
  status_->setText(why);
  status_->setStyleSheet(QStringLiteral("color: #b00020;"));
  return false;
}

bool ConversionLog::running() const {
  return process_->state() != QProcess::NotRunning;
}

void ConversionLog::stop() {
  if (!running()) return;
  stopped_ = true;
  process_->terminate();
}

QString ConversionLog::status() const {
  return status_->text();
}

QString ConversionLog::text() const {
  return log_->toPlainText();
}

void ConversionLog::take(QProcess::ProcessChannel channel) {
  process_->setReadChannel(channel);
  const QByteArray bytes = process_->readAll();
  const bool isOut = channel == QProcess::StandardOutput;
  keepTail(isOut ? out_ : err_, bytes);
  append((isOut ? outDecoder_ : errDecoder_).decode(bytes));
}

void ConversionLog::append(const QString& text) {
  QScrollBar* bar = log_->verticalScrollBar();
  const bool atEnd = bar->value() == bar->maximum();
  QTextCursor cursor(log_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  if (atEnd) bar->setValue(bar->maximum());
}

void ConversionLog::end(int exitCode, QProcess::ExitStatus status) {
  take(QProcess::StandardOutput);
  take(QProcess::StandardError);
  const ConversionReport report =
      reportConversion({exitCode, status == QProcess::CrashExit, stopped_}, out_, err_, script_);
  status_->setText(QString::fromStdString(report.status));
  status_->setStyleSheet(report.ok ? QStringLiteral("color: #1b5e20; font-weight: bold;")
                                   : QStringLiteral("color: #b00020; font-weight: bold;"));
  emit finished(report);
}

}  // namespace visual
