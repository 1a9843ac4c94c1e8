#include "gui/ui/install_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace visual {

std::string defaultConverterPath() {
  return QDir(QCoreApplication::applicationDirPath())
      .filePath(QStringLiteral("zarvex"))
      .toStdString();
}

std::string defaultTypesFolder() {
  const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                            QStringLiteral("/../share/visualzarvex/types"));
  if (QFileInfo(installed).isDir()) return installed.toStdString();
  return VISUALZARVEX_SOURCE_TYPES;
}

}  // namespace visual
