#include "gui/ui/native_path.h"

#include <QByteArray>
#include <QFile>

namespace visual {

std::string nativePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString shownPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace visual
