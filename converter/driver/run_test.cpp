// Runs the built zarvex binary where a run goes wrong from outside the input: a signal, a file
// size limit, too little memory, a closed standard stream. Whatever happens, the previous output
// must stay as it was and no temporary file may be left behind.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "converter/driver/binary_test_support.h"

namespace {

namespace fs = std::filesystem;
using zarvextest::readFile;
using zarvextest::RunResult;
using zarvextest::runZarvex;
using zarvextest::ScratchDir;
using zarvextest::startZarvex;
using zarvextest::waitForZarvex;
using zarvextest::writeFile;

// Not newline-terminated, with CR LF and bytes above 0x7f: any rewrite would show.
const std::string kOldOutput = "[IMG ID]\r\nName=\xC3\xE0\xF0\r\n[END-IMG ID]\r\n; last";

const char* const kMap =
    "[IMG ID]\nID=1\n[END-IMG ID]\n[POI]\nType=0x2f\nLabel=Mill\nData0=(55.5,37.25)\n[END]\n";
const char* const kMapOut =
    "H\n\n\n; LOC=map.mp:2\n[POI]\nType=0x2f\nLabel=Mill\nData0=(55.500000,37.250000)\n[END]\n\n";

// The names of the files in `folder`, links and FIFOs included.
std::vector<std::string> fileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class RunTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.path().empty());
    fs::create_directories(work_);
    writeFile(work_ / "header.txt", "H\n");
    writeFile(work_ / "map.mp", kMap);
  }

  fs::path file(const std::string& name) const { return work_ / name; }

  ScratchDir scratch_;
  const fs::path work_ = scratch_.path() / "work";
};

// The converter must find the signals as a user's shell leaves them, whatever the test runner
// inherited.
void defaultSignals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
}

TEST_F(RunTest, SignalKeepsOldOutputAndRemovesTemporaryFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    writeFile(file("out.mp"), kOldOutput);
    fs::remove(file("wait.mp"));
    ASSERT_EQ(mkfifo(file("wait.mp").c_str(), 0644), 0);
    // The FIFO's map comes second, after the first map has been written to the temporary file.
    writeFile(file("rules.cfg"), "file \"wait.mp\" { }\nfile \"map.mp\" { }\n");
    const pid_t pid =
        startZarvex({"rules.cfg", "out.mp"}, work_, scratch_.path(), std::nullopt, defaultSignals);
    ASSERT_GT(pid, 0);
    // Opening the FIFO for writing succeeds once the converter has it open for reading.
    int writer = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(180);
    while (writer == -1 && std::chrono::steady_clock::now() < deadline) {
      writer = open(file("wait.mp").c_str(), O_WRONLY | O_NONBLOCK);
      if (writer == -1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_NE(writer, -1) << "the converter never opened the second map";
    EXPECT_EQ(fileNames(work_).size(), 6u) << "a temporary file beside the output";
    ASSERT_EQ(kill(pid, signal), 0);
    const RunResult result = waitForZarvex(pid, scratch_.path());
    close(writer);

    EXPECT_EQ(result.exitCode, 128 + signal) << "ends by the signal it was sent";
    EXPECT_EQ(readFile(file("out.mp")), kOldOutput);
    EXPECT_EQ(fileNames(work_),
              (std::vector<std::string>{"header.txt", "map.mp", "out.mp", "rules.cfg", "wait.mp"}));
  }
}

// A file size limit fails the write without killing the process; an existing output keeps its
// bytes and a new one is not created.
TEST_F(RunTest, FailedWriteKeepsOldOutput) {
  std::string map = "[IMG ID]\nID=1\n[END-IMG ID]\n";
  for (int i = 0; i < 200; ++i) map += "[POI]\nType=0x2f\nLabel=Point\nData0=(56.5,35.5)\n[END]\n";
  writeFile(file("map.mp"), map);
  writeFile(file("rules.cfg"), "file \"map.mp\" { }\n");
  const auto limitFileSize = [] {
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
  };
  for (const bool existing : {true, false}) {
    SCOPED_TRACE(existing ? "existing output" : "new output");
    if (existing)
      writeFile(file("out.mp"), kOldOutput);
    else
      fs::remove(file("out.mp"));
    const RunResult result =
        runZarvex({"rules.cfg", "out.mp"}, work_, scratch_.path(), std::nullopt, limitFileSize);
    EXPECT_EQ(result.err, "Processing: map.mp\nError writing file: out.mp\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(readFile(file("out.mp")), existing ? std::optional(kOldOutput) : std::nullopt);
    EXPECT_EQ(fileNames(work_).size(), existing ? 4u : 3u) << "no temporary file left";
  }
}

TEST_F(RunTest, OutOfMemoryIsReportedAndKeepsOldOutput) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
#else
  // Each line doubles the label: forty of them want terabytes.
  std::string rules = "file \"map.mp\" {\n";
  for (int i = 0; i < 40; ++i) rules += "  label += label;\n";
  writeFile(file("rules.cfg"), rules + "}\n");
  writeFile(file("out.mp"), kOldOutput);
  const RunResult result =
      runZarvex({"rules.cfg", "out.mp"}, work_, scratch_.path(), std::nullopt, [] {
        const rlimit limit{512u << 20, 512u << 20};
        setrlimit(RLIMIT_AS, &limit);
      });
  EXPECT_EQ(result.err, "Processing: map.mp\nOut of memory: map.mp\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(readFile(file("out.mp")), kOldOutput);
  EXPECT_EQ(fileNames(work_).size(), 4u) << "no temporary file left";
#endif
}

// A closed standard stream must not become the output, or the messages meant for it would be
// written into the map.
TEST_F(RunTest, ClosedStandardStreamIsNotTheOutput) {
  struct Case {
    int descriptor;
    const char* rules;
    const char* output;
  };
  const Case cases[] = {
      {2, "file \"map.mp\" { }\n", kMapOut},
      // The token dump of the faulty map goes to standard output.
      {1, "file \"bad.mp\" { }\nfile \"map.mp\" { }\n", kMapOut},
  };
  writeFile(file("bad.mp"), "[IMG ID]\nID=2\n[END-IMG ID]\n[POI]\nColour=red\n[END]\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.descriptor);
    writeFile(file("rules.cfg"), c.rules);
    fs::remove(file("out.mp"));
    const int descriptor = c.descriptor;
    runZarvex({"rules.cfg", "out.mp"}, work_, scratch_.path(), std::nullopt,
              [descriptor] { close(descriptor); });
    EXPECT_EQ(readFile(file("out.mp")), c.output);
  }
}

TEST_F(RunTest, NewOutputHonoursUmaskAndExistingOutputKeepsItsMode) {
  writeFile(file("rules.cfg"), "file \"map.mp\" { }\n");
  const auto modeOf = [this] { return fs::status(file("out.mp")).permissions(); };
  using fs::perms;

  runZarvex({"rules.cfg", "out.mp"}, work_, scratch_.path(), std::nullopt, [] { umask(027); });
  EXPECT_EQ(modeOf(), perms::owner_read | perms::owner_write | perms::group_read);

  fs::permissions(file("out.mp"), perms::owner_read | perms::owner_write | perms::others_read);
  runZarvex({"rules.cfg", "out.mp"}, work_, scratch_.path(), std::nullopt, [] { umask(077); });
  EXPECT_EQ(modeOf(), perms::owner_read | perms::owner_write | perms::others_read);
  EXPECT_EQ(readFile(file("out.mp")), kMapOut);
}

}  // namespace

// Standard output that is a pipe cannot be cut back, so a map is held back until it has been
// read whole, in memory or, when large, in an unnamed file. What comes out must be, byte for
// byte, what a regular file (which is cut back instead) gets.
TEST_F(RunTest, PipeGetsWhatAFileGetsWhenAMapIsFaulty) {
  std::string large = "[IMG ID]\nID=1\n[END-IMG ID]\n";
  // Several megabytes of output: beyond what is held in memory.
  for (int i = 0; i < 80000; ++i)
    large += "[POI]\nType=0x2f\nLabel=P" + std::to_string(i) + "\nData0=(56.5,35.5)\n[END]\n";
  writeFile(file("large.mp"), large);
  writeFile(file("faulty.mp"),
            "[IMG ID]\nID=1\n[END-IMG ID]\n[POI]\nType=0x2f\n"
            "Data0=(56.5,35.5)\n[END]\n[POI]\nType=0x2f\nData0=(56.5\n[END]\n");
  const auto readPipe = [&](const std::vector<std::string>& args, std::string& out) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return RunResult{};
    const int pid = startZarvex(args, work_, scratch_.path(), std::nullopt,
                                [&ends] { dup2(ends[1], STDOUT_FILENO); });
    close(ends[1]);
    char block[65536];
    for (ssize_t n; (n = read(ends[0], block, sizeof block)) != 0;) {
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) break;
      out.append(block, static_cast<std::size_t>(n));
    }
    close(ends[0]);
    return waitForZarvex(pid, scratch_.path(), false);
  };
  // Maps are taken from the script's last statement to its first.
  struct Case {
    const char* name;
    const char* script;
    bool succeeds;
    bool largeKept;
  };
  const Case cases[] = {
      {"small map, then a faulty one", "file \"faulty.mp\" { }\nfile \"map.mp\" { }\n", false,
       false},
      {"large map, then a faulty one", "file \"faulty.mp\" { }\nfile \"large.mp\" { }\n", false,
       true},
      {"faulty map first", "file \"map.mp\" { }\nfile \"faulty.mp\" { }\n", false, false},
      {"large map, then a small one", "file \"map.mp\" { }\nfile \"large.mp\" { }\n", true, true},
  };
  for (const Case& c : cases) {
    writeFile(file("rules.cfg"), c.script);
    for (const char* jobs : {"1", "2"}) {
      SCOPED_TRACE(std::string(c.name) + ", --jobs " + jobs);
      const std::vector<std::string> args = {"--jobs", jobs, "-h", "header.txt", "rules.cfg"};
      const RunResult toFile = runZarvex(args, work_, scratch_.path());
      std::string piped;
      const RunResult toPipe = readPipe(args, piped);
      EXPECT_EQ(toPipe.exitCode, toFile.exitCode);
      EXPECT_EQ(toPipe.exitCode == 0, c.succeeds);
      EXPECT_EQ(toPipe.err, toFile.err);
      EXPECT_EQ(piped.size(), toFile.out.size());
      EXPECT_TRUE(piped == toFile.out) << "the bytes differ";
      EXPECT_EQ(piped.find("Label=P79999\n") != std::string::npos, c.largeKept);
      EXPECT_EQ(piped.find("LOC=faulty.mp"), std::string::npos);
    }
  }
}
