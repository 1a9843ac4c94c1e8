#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <string>

#include "gui/io/code_page.h"
#include "gui/io/code_page_system.h"

namespace visual {
namespace {

// Case mapping of the code page's letters comes from the C library's Unicode tables, which only a
// UTF-8 locale exposes; the locale is kept for the life of the program.
locale_t unicodeLocale() {
  static const locale_t locale = [] {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      if (locale_t l = ::newlocale(LC_CTYPE_MASK, name, locale_t{})) return l;
    }
    return locale_t{};
  }();
  return locale;
}

}  // namespace

bool decodeCodePage(int codePage, std::array<char32_t, 256>* decode) {
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t cd = ::iconv_open("UTF-32LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  for (int b = 0; b < 256; ++b) {
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in = static_cast<char>(b);
    char* inPtr = &in;
    std::size_t inLeft = 1;
    unsigned char out[16];
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    const std::size_t done = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    // Some converters hold a character back until they are flushed.
    const std::size_t flushed = ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    const std::size_t produced = sizeof out - outLeft;
    if (done == static_cast<std::size_t>(-1) || flushed == static_cast<std::size_t>(-1) ||
        inLeft != 0 || produced != 4) {
      (*decode)[static_cast<std::size_t>(b)] = kUnassigned;
      continue;
    }
    (*decode)[static_cast<std::size_t>(b)] =
        static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
        static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
  }
  ::iconv_close(cd);
  return true;
}

char32_t lowerLetter(char32_t c) {
  const locale_t locale = unicodeLocale();
  if (locale == locale_t{}) return c;
  return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), locale));
}

std::string toConsole(std::string_view bytes) {
  // File names are the system's own bytes, and the console reads them in the same encoding.
  return std::string(bytes);
}

}  // namespace visual
