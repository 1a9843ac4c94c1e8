#include "gui/ui/install_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "gui/ui/native_path.h"

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
      return nativePath(QDir::toNativeSeparators(candidate));
  }
  // Named as it would be found, so that the message asking for it says where it was looked for.
  return nativePath(QDir::toNativeSeparators(beside));
}

std::string defaultTypesFolder() {
  // The Debian package's share folder, or the examples that the Windows zip has beside the
  // programs.
  for (const char* relative : {"/../share/visualzarvex/types", "/examples/types"}) {
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1String(relative));
    if (QFileInfo(installed).isDir()) return nativePath(QDir::toNativeSeparators(installed));
  }
  return VISUALZARVEX_SOURCE_TYPES;
}

}  // namespace visual
