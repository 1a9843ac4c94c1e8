#include "gui/ui/install_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace visual {

std::string defaultConverterPath() {
#ifdef _WIN32
  const QString name = QStringLiteral("zarvex.exe");
#else
  const QString name = QStringLiteral("zarvex");
#endif
  return QDir::toNativeSeparators(QDir(QCoreApplication::applicationDirPath()).filePath(name))
      .toStdString();
}

std::string defaultTypesFolder() {
  // The Debian package's share folder, or the examples that the Windows zip has beside the
  // programs.
  for (const char* relative : {"/../share/visualzarvex/types", "/examples/types"}) {
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1String(relative));
    if (QFileInfo(installed).isDir()) return QDir::toNativeSeparators(installed).toStdString();
  }
  return VISUALZARVEX_SOURCE_TYPES;
}

}  // namespace visual
