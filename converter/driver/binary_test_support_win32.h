#pragma once

#include "converter/driver/binary_test_support.h"

namespace zarvextest {

/// As runZarvex, with arguments in UTF-16 as Windows holds them, which the ANSI code page need
/// not be able to represent.
RunResult runZarvexWide(const std::vector<std::wstring>& args, const fs::path& workDir,
                        const fs::path& scratch, std::optional<fs::path> stdoutPath = std::nullopt);

}  // namespace zarvextest
