#include "gui/ui/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace visual {

namespace {

QStringList patternsOf(const QString& field) {
  QStringList patterns;
  for (const QString& part : field.split(u';', Qt::SkipEmptyParts)) {
    const QString pattern = part.trimmed();
    for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
      if (!variant.isEmpty() && !patterns.contains(variant)) patterns << variant;
    }
  }
  return patterns;
}

// "TXT files (*.TXT)" already names its patterns; Qt would show them twice.
QString descriptionOf(const QString& field) {
  QString text = field.trimmed();
  const qsizetype open = text.lastIndexOf(u'(');
  if (text.endsWith(u')') && open > 0) text = text.left(open).trimmed();
  return text;
}

}  // namespace

QString toQtFilter(const std::string& filter) {
  const QStringList fields = QString::fromStdString(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    const QStringList patterns = patternsOf(fields[i + 1]);
    if (patterns.isEmpty()) continue;
    filters << descriptionOf(fields[i]) + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return filters.join(QStringLiteral(";;"));
}

std::optional<QString> runFileDialog(QWidget* parent, const FileDialogSpec& request,
                                     FileDialogMode mode, const QString& start) {
  QFileDialog dialog(parent, QString::fromStdString(request.title));
  const QString filter = toQtFilter(request.filter);
  if (!filter.isEmpty()) dialog.setNameFilters(filter.split(QStringLiteral(";;")));
  if (mode == FileDialogMode::Open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The logic asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  QString suffix = QString::fromStdString(request.defaultExtension);
  if (suffix.startsWith(u'.')) suffix.remove(0, 1);
  if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
  if (!start.isEmpty()) {
    const QFileInfo info(start);
    if (info.isDir()) {
      dialog.setDirectory(info.absoluteFilePath());
    } else {
      if (info.absoluteDir().exists()) dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace visual
