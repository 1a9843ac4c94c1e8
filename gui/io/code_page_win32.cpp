#include <windows.h>

#include <string>

#include "gui/io/code_page.h"
#include "gui/io/code_page_system.h"

namespace visual {

bool decodeCodePage(int codePage, std::array<char32_t, 256>* decode) {
  CPINFO info{};
  // Only single-byte code pages are document code pages: in others a byte may be half a letter.
  if (codePage <= 0 || !::GetCPInfo(static_cast<UINT>(codePage), &info) || info.MaxCharSize != 1)
    return false;
  for (int b = 0; b < 256; ++b) {
    const char in = static_cast<char>(b);
    wchar_t out[2] = {};
    // Without the flag an unassigned byte would come back as some character of the system's
    // choice rather than as a failure.
    const int n = ::MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS, &in, 1,
                                        out, 2);
    char32_t c = n == 1 ? static_cast<char32_t>(out[0]) : kUnassigned;
    // The system hands the bytes that its tables leave unassigned (0x98 of 1251) back as the C1
    // control of the same number, which no document text holds: they are unassigned here too,
    // as elsewhere.
    if (b >= 0x80 && c == static_cast<char32_t>(b) && c <= 0x9F) c = kUnassigned;
    (*decode)[static_cast<std::size_t>(b)] = c;
  }
  return true;
}

char32_t lowerLetter(char32_t c) {
  // The letters of single-byte code pages all lie in the first plane.
  if (c > 0xFFFF) return c;
  wchar_t letter = static_cast<wchar_t>(c);
  ::CharLowerBuffW(&letter, 1);
  return static_cast<char32_t>(letter);
}

std::string toConsole(std::string_view bytes) {
  // The buffer variant takes a length, so a line of any size is converted whole.
  std::string out(bytes.size(), '\0');
  if (!bytes.empty()) {
    ::CharToOemBuffA(bytes.data(), out.data(), static_cast<DWORD>(bytes.size()));
  }
  return out;
}

}  // namespace visual
