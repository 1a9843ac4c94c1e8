#include "gui/ui/shown_text.h"

#include "gui/io/code_page.h"

namespace visual {

QString shownText(const std::string& bytes, int codePage) {
  return QString::fromStdString(toUtf8(bytes, codePage));
}

std::string storedText(const QString& text, int codePage) {
  return fromUtf8(text.toStdString(), codePage);
}

}  // namespace visual
