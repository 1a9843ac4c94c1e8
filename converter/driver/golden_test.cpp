// Runs the built zarvex binary on every case folder under testdata/<group>/<case>/ and compares
// its standard output, standard error, exit code and files byte for byte with case/expected/.
// A case folder holds its input files, `args` (one argument per line) and expected/ with
// `stdout`, `stderr`, `exit_code` and files/ (every file that the run creates or changes).
// Any other file that appears or changes fails the case. UPDATE_GOLDEN=1 rewrites expected/.
// Each case runs as written, with --jobs 1, and cut into pieces of a byte or a few read by
// several threads: every way of reading must give the same bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "converter/driver/binary_test_support.h"

namespace {

namespace fs = std::filesystem;
using zarvextest::fromPlatformText;
using zarvextest::fullDevice;
using zarvextest::readFile;
using zarvextest::readOutput;
using zarvextest::RunResult;
using zarvextest::runZarvex;
using zarvextest::ScratchDir;
using zarvextest::scriptString;
using zarvextest::writeFile;

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Relative path of every regular file below `root`, sorted.
std::map<std::string, fs::path> listFiles(const fs::path& root) {
  std::map<std::string, fs::path> files;
  if (!fs::exists(root)) return files;
  for (const auto& item : fs::recursive_directory_iterator(root))
    if (item.is_regular_file())
      files[fs::relative(item.path(), root).generic_string()] = item.path();
  return files;
}

bool isCaseControlFile(const std::string& relative) {
  return relative == "args" || relative.rfind("expected/", 0) == 0;
}

std::vector<fs::path> findCases() {
  std::vector<fs::path> cases;
  const fs::path root = ZARVEX_GOLDEN_DIR;
  if (!fs::is_directory(root)) return cases;
  for (const auto& group : fs::directory_iterator(root)) {
    if (!group.is_directory()) continue;
    for (const auto& item : fs::directory_iterator(group.path()))
      if (fs::exists(item.path() / "args")) cases.push_back(item.path());
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

std::string caseName(const fs::path& casePath) {
  std::string name =
      casePath.parent_path().filename().string() + "_" + casePath.filename().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

// How a case is run besides its own arguments.
struct Variant {
  const char* name;
  // Put before the case's arguments; not for cases of the command line itself.
  std::vector<std::string> leading;
  // ZARVEX_CHUNK_BYTES, or none.
  const char* chunkBytes;
};

const Variant kVariants[] = {
    {"as_written", {}, nullptr},
    {"one_job", {"--jobs", "1"}, nullptr},
    {"bytes_3_jobs", {"--jobs", "3"}, "1"},
    {"pieces_2_jobs", {"--jobs", "2"}, "40"},
    // Several objects a piece, so that what a piece ruled apart holds is cut where a map stops.
    {"several_objects_2_jobs", {"--jobs", "2"}, "120"},
};

// Sets an environment variable for the runs of one case.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (value != nullptr) set(value);
  }
  ~ScopedEnvironment() { set(nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void set(const char* value) {
#ifdef _WIN32
    _putenv_s(name_, value != nullptr ? value : "");
#else
    if (value != nullptr)
      setenv(name_, value, 1);
    else
      unsetenv(name_);
#endif
  }
  const char* name_;
};

using GoldenParam = std::tuple<fs::path, const Variant*>;

class GoldenTest : public testing::TestWithParam<GoldenParam> {};

TEST_P(GoldenTest, MatchesExpected) {
  const fs::path casePath = std::get<0>(GetParam());
  const Variant& variant = *std::get<1>(GetParam());
  const bool asWritten = variant.leading.empty() && variant.chunkBytes == nullptr;
  const fs::path expected = casePath / "expected";
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  const fs::path work = scratch.path() / "work";
  fs::create_directories(work);

  std::map<std::string, fs::path> inputs;
  for (const auto& [relative, path] : listFiles(casePath)) {
    if (isCaseControlFile(relative)) continue;
    inputs[relative] = path;
    fs::create_directories((work / relative).parent_path());
    fs::copy_file(path, work / relative);
  }

  std::vector<std::string> args = splitLines(readFile(casePath / "args").value_or(""));
  if (casePath.parent_path().filename() != "command_line")
    args.insert(args.begin(), variant.leading.begin(), variant.leading.end());
  const ScopedEnvironment chunkBytes("ZARVEX_CHUNK_BYTES", variant.chunkBytes);
  const RunResult result = runZarvex(args, work, scratch.path());

  // Files that the run created or changed.
  std::map<std::string, std::string> produced;
  for (const auto& [relative, path] : listFiles(work)) {
    const std::string content = readFile(path).value_or("");
    const auto input = inputs.find(relative);
    if (input == inputs.end() || readFile(input->second) != content)
      produced[relative] = fromPlatformText(content);
  }

  if (std::getenv("UPDATE_GOLDEN") != nullptr && std::string(std::getenv("UPDATE_GOLDEN")) == "1") {
    if (!asWritten) GTEST_SKIP() << "expected files come from the case as written";
    writeFile(expected / "stdout", result.out);
    writeFile(expected / "stderr", result.err);
    writeFile(expected / "exit_code", std::to_string(result.exitCode) + "\n");
    fs::remove_all(expected / "files");
    for (const auto& [relative, content] : produced)
      writeFile(expected / "files" / relative, content);
    GTEST_SKIP() << "expected files rewritten";
  }

  EXPECT_EQ(result.out, readFile(expected / "stdout").value_or("")) << "standard output";
  EXPECT_EQ(result.err, readFile(expected / "stderr").value_or("")) << "standard error";
  EXPECT_EQ(std::to_string(result.exitCode) + "\n",
            readFile(expected / "exit_code").value_or("0\n"))
      << "exit code";

  std::map<std::string, std::string> wanted;
  for (const auto& [relative, path] : listFiles(expected / "files"))
    wanted[relative] = readFile(path).value_or("");
  for (const auto& [relative, content] : wanted) {
    const auto it = produced.find(relative);
    if (it == produced.end()) {
      const bool exists = fs::exists(work / relative);
      ADD_FAILURE() << relative << (exists ? " was left unchanged" : " was not created");
      continue;
    }
    EXPECT_EQ(it->second, content) << "content of " << relative;
  }
  for (const auto& [relative, content] : produced)
    if (wanted.count(relative) == 0) ADD_FAILURE() << relative << " was created or changed";
}

std::string paramName(const testing::TestParamInfo<GoldenParam>& param) {
  return caseName(std::get<0>(param.param)) + "_" + std::get<1>(param.param)->name;
}

std::vector<const Variant*> variants() {
  std::vector<const Variant*> all;
  for (const Variant& variant : kVariants) all.push_back(&variant);
  return all;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest,
                         testing::Combine(testing::ValuesIn(findCases()),
                                          testing::ValuesIn(variants())),
                         paramName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenTest);

}  // namespace

namespace {

// A full disk behind standard output must not pass for a finished conversion.
TEST(ZarvexRunTest, FullStandardOutputFails) {
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  writeFile(scratch.path() / "rules.cfg", "file \"a.mp\" { }\n");
  writeFile(scratch.path() / "header.txt", "H\n");
  writeFile(scratch.path() / "a.mp",
            "[IMG ID]\nID=1\n[END-IMG ID]\n[POI]\nType=0x2f\nData0=(1,2)\n[END]\n");
  const std::optional<std::string> full = fullDevice();
  if (!full) GTEST_SKIP() << "no device that is always full";
  const RunResult result = runZarvex({"rules.cfg"}, scratch.path(), scratch.path(), *full);
  EXPECT_EQ(result.err, "Processing: a.mp\nError writing file: stdout\n");
  EXPECT_EQ(result.exitCode, 1);
}

// Once the disk is full, the rest of a large conversion is not worth running.
// Hostile sizes: a label of several megabytes and a line of a million points, written under two
// levels, must come out whole.
TEST(ZarvexRunTest, HugeLabelAndMillionPointLine) {
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  const std::string label(4 << 20, 'L');
  constexpr int kPoints = 1000000;
  std::string points;
  points.reserve(kPoints * 11);
  for (int i = 0; i < kPoints; ++i) points += i == 0 ? "(1.5,2.25)" : ",(1.5,2.25)";
  writeFile(scratch.path() / "big.mp", "[IMG ID]\nID=1\n[END-IMG ID]\n[POI]\nType=0x2f\nLabel=" +
                                           label + "\nData0=" + points + "\n[END]\n");
  writeFile(scratch.path() / "header.txt", "");
  writeFile(scratch.path() / "rules.cfg", "file \"big.mp\" { layer_max=1; }\n");
  const RunResult result = runZarvex({"rules.cfg", "out.mp"}, scratch.path(), scratch.path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::string line;
  line.reserve(kPoints * 20);
  for (int i = 0; i < kPoints; ++i) line += i == 0 ? "(1.500000,2.250000)" : ",(1.500000,2.250000)";
  const std::string expected = "\n\n; LOC=big.mp:2\n[POI]\nType=0x2f\nLabel=" + label +
                               "\nData0=" + line + "\nData1=" + line + "\n[END]\n\n";
  const std::optional<std::string> output = readOutput(scratch.path() / "out.mp");
  ASSERT_TRUE(output.has_value());
  EXPECT_EQ(output->size(), expected.size());
  EXPECT_TRUE(*output == expected);
}

TEST(ZarvexRunTest, FullDiskStopsTheConversion) {
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  std::string map = "[IMG ID]\nID=1\n[END-IMG ID]\n";
  // Far more than the output buffer holds, so that a write fails before the first map ends.
  for (int i = 0; i < 40000; ++i)
    map += "[POI]\nType=0x2f\nLabel=Point\nData0=(56.5,35.5)\n[END]\n";
  writeFile(scratch.path() / "a.mp", map);
  writeFile(scratch.path() / "b.mp", map);
  writeFile(scratch.path() / "header.txt", "H\n");
  writeFile(scratch.path() / "rules.cfg", "file \"a.mp\" { }\nfile \"b.mp\" { }\n");
  const std::optional<std::string> full = fullDevice();
  if (!full) GTEST_SKIP() << "no device that is always full";
  const RunResult result = runZarvex({"rules.cfg", *full}, scratch.path(), scratch.path());
  EXPECT_EQ(result.err, "Processing: b.mp\nError writing file: " + *full + "\n");
  EXPECT_EQ(result.exitCode, 1);
}

// A map that turns out faulty, or holds an object without a type, far into the map: more than
// the buffers hold has been written by then. Whatever the threads and pieces, the output must be
// what reading the whole map first would give.
TEST(ZarvexRunTest, LateFaultsInLargeMaps) {
  std::string objects;
  for (int i = 0; i < 30000; ++i)
    objects +=
        "[POI]\nType=0x2f\nLabel=Point " + std::to_string(i) + "\nData0=(56.5,35.5)\n[END]\n";
  const std::string head = "[IMG ID]\nID=1\n[END-IMG ID]\n";
  const std::string good = head + "[POI]\nType=0x2f\nData0=(1,2)\n[END]\n";
  const std::string goodOutput =
      "H\n\n\n; LOC=good.mp:2\n[POI]\nType=0x2f\nData0=(1.000000,2.000000)\n[END]\n\n";
  struct Case {
    const char* name;
    std::string map;
    int exitCode;
    const char* out;  // standard output besides the map
    const char* errTail;
  };
  const Case cases[] = {
      {"parse error", head + objects + "[POI]\nType=4.7\n[END]\n" + objects, 1,
       "150005: float: 4.700000\n", "Error in file: 'big.mp'\n150004: Number expected\n"},
      // The section never closed reaches into the pieces after it.
      {"section not closed", head + objects + "[POI]\nType=1\n" + objects, 1, "150006: word: poi\n",
       "Error in file: 'big.mp'\n150005: 'end' expected\n"},
      {"no type", head + objects + "[Restrict]\nNod=1\n[END]\n" + objects, 1,
       "Unknown object type: '3'\n", ""},
  };
  for (const Case& c : cases) {
    for (const char* jobs : {"1", "2"}) {
      for (const bool toFile : {true, false}) {
        SCOPED_TRACE(std::string(c.name) + ", jobs " + jobs +
                     (toFile ? ", to a file" : ", to stdout"));
        ScratchDir scratch;
        ASSERT_FALSE(scratch.path().empty());
        writeFile(scratch.path() / "big.mp", c.map);
        writeFile(scratch.path() / "good.mp", good);
        writeFile(scratch.path() / "header.txt", "H\n");
        writeFile(scratch.path() / "rules.cfg",
                  "file \"big.mp\" { type=-1; }\nfile \"good.mp\" { }\n");
        std::vector<std::string> args = {"--jobs", jobs, "rules.cfg"};
        if (toFile) args.push_back("out.mp");
        const ScopedEnvironment chunkBytes("ZARVEX_CHUNK_BYTES", "5000");
        const RunResult result = runZarvex(args, scratch.path(), scratch.path());
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.err, "Processing: good.mp\nProcessing: big.mp\n" + std::string(c.errTail));
        std::string expected = goodOutput;
        if (c.errTail[0] == '\0') {
          // Everything before the object stays: the points made points by type=-1 and point unset.
          for (int i = 0; i < 30000; ++i)
            expected += "; LOC=big.mp:" + std::to_string(i == 0 ? 2 : 3 + 5 * i) +
                        "\n[POI]\nType=0xffffffff\nLabel=Point " + std::to_string(i) +
                        "\nData0=(56.500000,35.500000)\n[END]\n\n";
        }
        if (toFile) {
          EXPECT_EQ(result.out, c.out);
          EXPECT_TRUE(readOutput(scratch.path() / "out.mp") == expected);
        } else {
          EXPECT_TRUE(result.out == expected + c.out);
        }
      }
    }
  }
}

struct RealMapCase {
  const char* file;
  int keyLine;  // 1-based line of the first key that the strict reader does not know
  const char* key;
};

// The real maps carry header keys that the reader rejects; the run must stop at the first one,
// name the file and the line, write nothing of the map, and say that it failed.
TEST(ZarvexRunTest, RealMapsStopAtFirstUnknownKey) {
  const char* source = std::getenv("ZARVEX_SOURCE_DIR");
  const fs::path folder = fs::path(source != nullptr ? source : ".") / ".." / "shared" / "realmaps";
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no real maps at " << folder;
  const RealMapCase cases[] = {
      {"mapsoft2_f1_edgecases.mp", 24, "mg"},
      {"mapsoft2_n37-075.mp", 23, "mg"},
      {"mapsoft_bunch_koi8-labels.mp", 12, "transparent"},
      {"oaconvert_cloudmade_france.mp", 6, "transparent"},
  };
  for (const RealMapCase& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path map = fs::absolute(folder / c.file).lexically_normal();
    if (!fs::exists(map)) continue;
    ScratchDir scratch;
    ASSERT_FALSE(scratch.path().empty());
    writeFile(scratch.path() / "rules.cfg", "file " + scriptString(map) + " { }\n");
    writeFile(scratch.path() / "header.txt", "H\n");
    const RunResult result = runZarvex({"rules.cfg", "out.mp"}, scratch.path(), scratch.path());
    // The value line has been consumed when the key is judged, so the dump shows the next line
    // and the error's 0-based count equals the key's 1-based line.
    EXPECT_EQ(result.out, std::to_string(c.keyLine + 1) + ": char: =\n");
    EXPECT_EQ(result.err, "Processing: " + map.string() + "\nError in file: '" + map.string() +
                              "'\n" + std::to_string(c.keyLine) + ": Unknown variable: " + c.key +
                              "\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(readOutput(scratch.path() / "out.mp"), "H\n\n\n");
  }
}

}  // namespace

namespace {

std::size_t countSections(const std::string& map) {
  std::size_t count = 0;
  for (const std::string& line : splitLines(map))
    if (line.rfind("[END", 0) == 0 && line.rfind("[END-IMG ID]", 0) != 0) ++count;
  return count;
}

// The shipped example must convert cleanly, and what it produces must be a map that the
// converter itself reads back, object for object.
TEST(ZarvexRunTest, ExampleConvertsAndReadsBack) {
  const char* source = std::getenv("ZARVEX_SOURCE_DIR");
  const fs::path examples = fs::path(source != nullptr ? source : "../..") / "examples";
  if (!fs::exists(examples / "town.mp")) GTEST_SKIP() << "no example at " << examples;
  ScratchDir scratch;
  ASSERT_FALSE(scratch.path().empty());
  for (const char* name : {"town.mp", "town.cfg", "town.txt"})
    fs::copy_file(examples / name, scratch.path() / name);

  const RunResult first =
      runZarvex({"-h", "town.txt", "-m", "K-12-3", "town.cfg", "town_multilevel.mp"},
                scratch.path(), scratch.path());
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.err, "Processing: town.mp\n");
  const std::string converted = readOutput(scratch.path() / "town_multilevel.mp").value_or("");
  EXPECT_EQ(converted.rfind("; ", 0), 0u);
  EXPECT_NE(converted.find("\nID=11110123\nName=K-12-3\n"), std::string::npos);
  // Every section of the source but the bridge, for which the rules have no block.
  EXPECT_EQ(countSections(converted), 17u);

  writeFile(scratch.path() / "again.cfg", "file \"town_multilevel.mp\" { }\n");
  writeFile(scratch.path() / "header.txt", "");
  const RunResult second = runZarvex({"again.cfg", "again.mp"}, scratch.path(), scratch.path());
  ASSERT_EQ(second.exitCode, 0) << second.err << second.out;
  EXPECT_EQ(second.err, "Processing: town_multilevel.mp\n");
  EXPECT_EQ(countSections(readOutput(scratch.path() / "again.mp").value_or("")), 17u);
}

}  // namespace
