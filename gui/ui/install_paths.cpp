#include "gui/ui/install_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace visual {

namespace {

#ifdef Q_OS_WIN
const QString kConverterName = QStringLiteral("zarvex.exe");
#else
const QString kConverterName = QStringLiteral("zarvex");
#endif

bool isProgram(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && info.isExecutable();
}

}  // namespace

std::string defaultConverterPath() {
  const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(kConverterName);
  // Run from the build tree, the converter lies in its own folder of the same tree.
  const QString built = QStringLiteral(VISUALZARVEX_BUILT_CONVERTER);
  const bool inBuildTree =
      QDir(QCoreApplication::applicationDirPath()) == QDir(QStringLiteral(VISUALZARVEX_BUILD_DIR));
  const QString installed =
      QDir(QStringLiteral(VISUALZARVEX_INSTALL_BINDIR)).filePath(kConverterName);
  for (const QString& candidate : {beside, inBuildTree ? built : QString(), installed,
                                   QStandardPaths::findExecutable(kConverterName)}) {
    if (!candidate.isEmpty() && isProgram(candidate))
      return QDir::toNativeSeparators(candidate).toStdString();
  }
  // Named as it would be found, so that the message asking for it says where it was looked for.
  return QDir::toNativeSeparators(beside).toStdString();
}

std::string defaultTypesFolder() {
  const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                            QStringLiteral("/../share/visualzarvex/types"));
  if (QFileInfo(installed).isDir()) return installed.toStdString();
  return VISUALZARVEX_SOURCE_TYPES;
}

}  // namespace visual
