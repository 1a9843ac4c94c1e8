#include "converter/driver/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "converter/driver/binary_test_support.h"

namespace zarvex {
namespace {

namespace fs = std::filesystem;
using zarvextest::readFile;
using zarvextest::ScratchDir;
using zarvextest::writeFile;

std::size_t countFiles(const fs::path& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

bool write(OutputFile& output, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), output.stream()) == text.size();
}

TEST(OutputFileTest, NothingReplacedUntilCommitAndNothingAtAllWhenDiscarded) {
  ScratchDir scratch;
  const fs::path path = scratch.path() / "out.mp";
  writeFile(path, "old");
  {
    const auto output = OutputFile::open(path.string());
    ASSERT_TRUE(output);
    ASSERT_TRUE(write(*output, std::string(3 << 20, 'n')));  // more than the buffer holds
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(countFiles(scratch.path()), 2u);
  }
  EXPECT_EQ(readFile(path), "old");
  EXPECT_EQ(countFiles(scratch.path()), 1u);

  const auto output = OutputFile::open(path.string());
  ASSERT_TRUE(output);
  ASSERT_TRUE(write(*output, "new"));
  ASSERT_TRUE(output->commit());
  EXPECT_EQ(readFile(path), "new");
  EXPECT_EQ(countFiles(scratch.path()), 1u);
}

// A link named as the output stays a link; the file it leads to is replaced, in its own folder.
TEST(OutputFileTest, LinkToTheOutputStaysALink) {
  ScratchDir scratch;
  fs::create_directories(scratch.path() / "maps");
  writeFile(scratch.path() / "maps" / "town.mp", "old");
  fs::create_symlink("maps/town.mp", scratch.path() / "link.mp");
  const auto output = OutputFile::open((scratch.path() / "link.mp").string());
  ASSERT_TRUE(output);
  ASSERT_TRUE(write(*output, "new"));
  ASSERT_TRUE(output->commit());
  EXPECT_TRUE(fs::is_symlink(scratch.path() / "link.mp"));
  EXPECT_EQ(readFile(scratch.path() / "maps" / "town.mp"), "new");
  EXPECT_EQ(countFiles(scratch.path() / "maps"), 1u);
}

// A FIFO is written as it is: a file put in its place would never reach its reader.
TEST(OutputFileTest, FifoIsWrittenDirectly) {
  ScratchDir scratch;
  const fs::path path = scratch.path() / "out.fifo";
  ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_NE(reader, -1);
  {
    const auto output = OutputFile::open(path.string());
    ASSERT_TRUE(output);
    ASSERT_TRUE(write(*output, "map"));
    ASSERT_TRUE(output->commit());
  }
  char received[8] = {};
  EXPECT_EQ(read(reader, received, sizeof received), 3);
  EXPECT_EQ(std::string(received), "map");
  close(reader);
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_EQ(countFiles(scratch.path()), 1u);
}

}  // namespace
}  // namespace zarvex
