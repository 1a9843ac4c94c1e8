#include "converter/driver/argument_code_page.h"

namespace zarvex {

std::optional<int> argumentOutsideCodePage() { return std::nullopt; }

}  // namespace zarvex
