// Names reach zarvex through the ANSI code page; one that the code page cannot hold must stop
// the run before any file is opened, never open another file.

#include <windows.h>

#include <gtest/gtest.h>

#include "converter/driver/binary_test_support_win32.h"

namespace {

namespace fs = std::filesystem;
using zarvextest::readFile;
using zarvextest::RunResult;
using zarvextest::runZarvexWide;
using zarvextest::ScratchDir;
using zarvextest::writeFile;

constexpr char kScript[] = "file \"m.mp\" { }\n";
constexpr char kMap[] = "[IMG ID]\nID=1\n[END-IMG ID]\n[POI]\nType=0x2f\nData0=(1,2)\n[END]\n";

struct Row {
  const char* name;
  std::wstring script;  // the script argument as typed
  std::wstring output;
  std::string err;
};

TEST(ArgumentCodePageTest, NamesOutsideTheCodePageStopTheRun) {
  if (GetACP() != 1252) GTEST_SKIP() << "cases are written for code page 1252, not " << GetACP();
  const Row rows[] = {
      // No byte of the code page stands for the character: it would become '?'.
      {"ScriptNotInCodePage", L"\u4e2d.cfg", L"out.mp",
       "Name not representable in the ANSI code page: ?.cfg\n"},
      // A best fit would silently open s.cfg, which exists.
      {"ScriptWithBestFit", L"\u015d.cfg", L"out.mp",
       "Name not representable in the ANSI code page: s.cfg\n"},
      {"OutputNotInCodePage", L"s.cfg", L"\u4e2d.mp",
       "Name not representable in the ANSI code page: ?.mp\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDir scratch;
    ASSERT_FALSE(scratch.path().empty());
    const fs::path work = scratch.path() / "work";
    writeFile(work / "s.cfg", kScript);
    writeFile(work / "m.mp", kMap);
    writeFile(work / "header.txt", "");
    const RunResult result = runZarvexWide({row.script, row.output}, work, scratch.path());
    EXPECT_EQ(result.err, row.err);
    EXPECT_EQ(result.exitCode, 1);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& item : fs::directory_iterator(work)) ++files;
    EXPECT_EQ(files, 3u) << "no file may be created";
  }
}

// A name that the code page holds, beyond ASCII, is passed on as its bytes.
TEST(ArgumentCodePageTest, NamesInTheCodePageConvert) {
  if (GetACP() != 1252) GTEST_SKIP() << "cases are written for code page 1252, not " << GetACP();
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  writeFile(scratch.path() / "s.cfg", kScript);
  writeFile(scratch.path() / "m.mp", kMap);
  writeFile(scratch.path() / "header.txt", "");
  const RunResult result = runZarvexWide({L"s.cfg", L"\u00e9.mp"}, scratch.path(), scratch.path());
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(readFile(scratch.path() / L"\u00e9.mp").has_value());
}

}  // namespace
