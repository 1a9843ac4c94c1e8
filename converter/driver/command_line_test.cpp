#include "converter/driver/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "converter/driver/map_id.h"
#include "project_version.h"

namespace zarvex {
namespace {

struct MapIdCase {
  const char* name;
  const char* expected;
};

TEST(MakeMapIdTest, DerivesEightCharacters) {
  const MapIdCase cases[] = {
      {"K-12-3", "11110123"},
      {"A-00-0", "11100000"},
      {"Z-99-9", "11125999"},
      // Bytes 1 and 4 are not used; whatever follows byte 5 is ignored.
      {"NxABxCDEF", "11113ABC"},
      // Below 'A' the quotient and remainder are negative and truncate toward zero: '1' - 'A' is
      // -16, giving '0' - 1 and '0' - 6.
      {"1-23-4", "111/*234"},
      // Lower case lies beyond 'Z': 'k' - 'A' is 42.
      {"k-12-3", "11142123"},
      // A byte from 0x80 up counts as negative: 0xC0 is -64, so -129 gives -12 and -9.
      {"\xC0-12-3", "111$'123"},
  };
  for (const MapIdCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(makeMapId(c.name), c.expected);
  }
}

std::optional<DriverSettings> parse(std::vector<const char*> args) {
  args.insert(args.begin(), "zarvex");
  return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(ParseCommandLineTest, UsageErrors) {
  const std::vector<std::vector<const char*>> cases = {
      {},
      {"-h"},
      {"-h", "head.txt"},
      {"-h", "head.txt", "-m"},
      {"-m"},
      {"-m", "K-12-3"},
      // Too short for the identifier, which reads up to byte 5.
      {"-m", "K-12-", "rules.cfg"},
      {"-m", "", "rules.cfg"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    EXPECT_FALSE(parse(args).has_value());
  }
}

TEST(ParseCommandLineTest, DefaultsWithScriptOnly) {
  const auto settings = parse({"rules.cfg"});
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->configPath, "rules.cfg");
  EXPECT_EQ(settings->headerPath(), "header.txt");
  EXPECT_EQ(settings->mapIdOrDefault(), "11111111");
  EXPECT_EQ(settings->mapNameOrDefault(), "M");
  EXPECT_TRUE(settings->outputToStdout);
  EXPECT_EQ(settings->outputName, "stdout");
}

TEST(ParseCommandLineTest, AllOptionsInOrder) {
  const auto settings = parse({"-h", "head.txt", "-m", "K-12-3", "rules.cfg", "out.mp", "extra"});
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->headerPath(), "head.txt");
  EXPECT_EQ(settings->mapNameOrDefault(), "K-12-3");
  EXPECT_EQ(settings->mapIdOrDefault(), "11110123");
  EXPECT_EQ(settings->configPath, "rules.cfg");
  EXPECT_FALSE(settings->outputToStdout);
  EXPECT_EQ(settings->outputName, "out.mp");
}

TEST(ParseCommandLineTest, OptionsOutOfPlaceArePaths) {
  // After -m, a -h is the script path and what follows it the output.
  auto settings = parse({"-m", "K-12-3", "-h", "head.txt"});
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->configPath, "-h");
  EXPECT_EQ(settings->outputName, "head.txt");
  EXPECT_EQ(settings->headerPath(), "header.txt");

  settings = parse({"rules.cfg", "-m"});
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->outputName, "-m");
  EXPECT_EQ(settings->mapIdOrDefault(), "11111111");

  // Options are compared whole and case-sensitively.
  settings = parse({"-H", "rules.cfg"});
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->configPath, "-H");
  EXPECT_EQ(settings->outputName, "rules.cfg");
}

TEST(ParseCommandLineTest, LenientComesFirstAndLeavesTheRestAsItWas) {
  auto settings = parse({"--lenient", "-h", "head.txt", "-m", "K-12-3", "rules.cfg", "out.mp"});
  ASSERT_TRUE(settings);
  EXPECT_TRUE(settings->lenient);
  EXPECT_EQ(settings->headerPath(), "head.txt");
  EXPECT_EQ(settings->mapIdOrDefault(), "11110123");
  EXPECT_EQ(settings->configPath, "rules.cfg");
  EXPECT_EQ(settings->outputName, "out.mp");

  settings = parse({"rules.cfg"});
  ASSERT_TRUE(settings);
  EXPECT_FALSE(settings->lenient);

  // Anywhere else it is a path, as any other argument would be.
  settings = parse({"-h", "head.txt", "--lenient", "rules.cfg"});
  ASSERT_TRUE(settings);
  EXPECT_FALSE(settings->lenient);
  EXPECT_EQ(settings->configPath, "--lenient");
  settings = parse({"rules.cfg", "--lenient"});
  ASSERT_TRUE(settings);
  EXPECT_FALSE(settings->lenient);
  EXPECT_EQ(settings->outputName, "--lenient");

  for (const auto& args : std::vector<std::vector<const char*>>{
           {"--lenient"}, {"--lenient", "-h", "head.txt"}, {"--lenient", "-m"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    EXPECT_FALSE(parse(args).has_value());
  }
}

TEST(ParseCommandLineTest, JobsIsALeadingOptionWithANumber) {
  const struct {
    std::vector<const char*> args;
    unsigned jobs;  // 0: a usage error
    bool lenient;
    const char* config;
  } cases[] = {
      {{"--jobs", "3", "rules.cfg"}, 3, false, "rules.cfg"},
      {{"--lenient", "--jobs", "1", "rules.cfg"}, 1, true, "rules.cfg"},
      {{"--jobs", "2", "--lenient", "-h", "head.txt", "rules.cfg"}, 2, true, "rules.cfg"},
      // More than the threads that could help is as many as that.
      {{"--jobs", "100000", "rules.cfg"}, kMaxJobs, false, "rules.cfg"},
      {{"--jobs", "0", "rules.cfg"}, 0, false, ""},
      {{"--jobs", "-2", "rules.cfg"}, 0, false, ""},
      {{"--jobs", "2x", "rules.cfg"}, 0, false, ""},
      {{"--jobs", "", "rules.cfg"}, 0, false, ""},
      {{"--jobs", "99999999999999999999", "rules.cfg"}, 0, false, ""},
      {{"--jobs", "2"}, 0, false, ""},
      {{"--jobs"}, 0, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const auto settings = parse(c.args);
    if (c.jobs == 0) {
      EXPECT_FALSE(settings.has_value());
      continue;
    }
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->jobs, c.jobs);
    EXPECT_EQ(settings->lenient, c.lenient);
    EXPECT_EQ(settings->configPath, c.config);
  }
  // After the positional part has begun it is a path.
  const auto settings = parse({"rules.cfg", "--jobs"});
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->outputName, "--jobs");
  EXPECT_GE(settings->jobs, 1u);
}

TEST(ParseCommandLineTest, HelpAndVersionOnlyAsFirstArgument) {
  const struct {
    std::vector<const char*> args;
    Command command;
  } cases[] = {
      {{"--help"}, Command::Help},
      {{"--version", "rules.cfg"}, Command::Version},
      {{"--help", "--version"}, Command::Help},
      {{"rules.cfg", "--help"}, Command::Convert},
      {{"--lenient", "--version"}, Command::Convert},
      {{"-help"}, Command::Convert},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const auto settings = parse(c.args);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->command, c.command);
  }
}

TEST(PrintVersionTest, NamesTheProjectVersion) {
  FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  printVersion(out);
  std::rewind(out);
  char line[64] = {};
  ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
  std::fclose(out);
  EXPECT_EQ(std::string(line), std::string("zarvex ") + kProjectVersion + "\n");
  EXPECT_NE(std::string(kProjectVersion), "");
}

TEST(ParseCommandLineTest, EmptyArgumentsCountAsNotSet) {
  const auto settings = parse({"-h", "", "rules.cfg", ""});
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->headerPath(), "header.txt");
  EXPECT_TRUE(settings->outputToStdout);
  EXPECT_EQ(settings->outputName, "stdout");
}

}  // namespace
}  // namespace zarvex
