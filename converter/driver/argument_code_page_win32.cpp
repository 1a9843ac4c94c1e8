#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "converter/driver/argument_code_page.h"

namespace zarvex {

std::optional<int> argumentOutsideCodePage() {
  const UINT codePage = GetACP();
  // UTF-8 holds every character, and rejects the flags below.
  if (codePage == CP_UTF8) return std::nullopt;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::nullopt;
  std::optional<int> found;
  // The program's own path may hold anything: it is never opened by name.
  for (int i = 1; i < count && !found; ++i) {
    BOOL usedDefault = FALSE;
    // Without WC_NO_BEST_FIT_CHARS a missing character silently becomes a similar one.
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide[i], -1, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size == 0 || usedDefault) found = i;
  }
  LocalFree(wide);
  return found;
}

}  // namespace zarvex
