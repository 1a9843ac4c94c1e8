#pragma once

#include <QProcess>
#include <QStringDecoder>
#include <QWidget>
#include <string>

#include "gui/io/conversion_report.h"
#include "gui/io/shell.h"

class QLabel;
class QPlainTextEdit;

namespace visual {

/// The converter run in the window: its output as it comes and, at the end, one status line.
class ConversionLog final : public QWidget {
  Q_OBJECT

 public:
  explicit ConversionLog(QWidget* parent = nullptr);
  /// A run still going is stopped.
  ~ConversionLog() override;

  /// Starts the converter of `run` in the batch file's folder, without a shell; false (and the
  /// reason in the log) when it could not be started.
  bool start(const ConverterRun& run);
  bool running() const;
  /// Asks the converter to stop; it removes its unfinished output itself.
  void stop();
  QString status() const;
  QString text() const;

 signals:
  void finished(const visual::ConversionReport& report);

 private:
  void take(QProcess::ProcessChannel channel);
  void append(const QString& text);
  void end(int exitCode, QProcess::ExitStatus status);

  QProcess* process_;
  QPlainTextEdit* log_;
  QLabel* status_;
  QStringDecoder outDecoder_{QStringDecoder::System};
  QStringDecoder errDecoder_{QStringDecoder::System};
  std::string out_, err_;
  std::string script_;
  bool stopped_ = false;
};

}  // namespace visual
