#pragma once

#include <string>
#include <string_view>

namespace visual {

/// Document texts are bytes in a single-byte code page (1251 by default); these convert them for
/// the windows and lower-case them with that code page's letters.
/// Bytes of code page `codePage` as UTF-8; bytes the code page lacks become U+FFFD.
std::string toUtf8(std::string_view bytes, int codePage);
/// UTF-8 text as bytes of code page `codePage`; characters it lacks become '?'.
std::string fromUtf8(std::string_view utf8, int codePage);
/// Lower-cases ASCII letters and the letters of code page `codePage` (Cyrillic for 1251).
std::string lowerCase(std::string_view bytes, int codePage);
/// The batch line as the console reads it: on POSIX the path bytes unchanged, on Windows
/// converted from the ANSI to the OEM code page.
std::string toConsole(std::string_view bytes);

}  // namespace visual
