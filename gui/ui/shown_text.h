#pragma once

#include <QString>
#include <string>

namespace visual {

/// A document text (bytes in `codePage`) as the windows show it.
QString shownText(const std::string& bytes, int codePage);
/// A text typed into the windows as document bytes in `codePage`.
std::string storedText(const QString& text, int codePage);

}  // namespace visual
