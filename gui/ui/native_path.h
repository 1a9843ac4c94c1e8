#pragma once

#include <QString>
#include <string>

namespace visual {

/// A path as gui/io and the system's file functions take it: UTF-8 on Linux, the ANSI code page on
/// Windows, whose ANSI functions read the bytes. A character the code page lacks becomes '?',
/// which no Windows file name holds, so the file is refused rather than another one used.
std::string nativePath(const QString& path);
/// A path that gui/io gives, as the windows show it.
QString shownPath(const std::string& path);

}  // namespace visual
