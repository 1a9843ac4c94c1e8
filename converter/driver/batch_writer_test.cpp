#include "converter/driver/batch_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarvex {
namespace {

namespace fs = std::filesystem;

// An output file of its own, removed at the end.
class Output {
 public:
  Output()
      : path_((fs::temp_directory_path() / ("zarvex-batch-" + OutputFile::temporarySuffix()))
                  .string()),
        file_(OutputFile::open(path_)) {}
  ~Output() { std::remove(path_.c_str()); }
  OutputFile& file() { return *file_; }
  bool opened() const { return file_ != nullptr; }
  std::string written() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string path_;
  std::unique_ptr<OutputFile> file_;
};

FormattedBatch batchOf(const std::string& text) {
  FormattedBatch batch;
  batch.text.append(text.data(), text.size());
  return batch;
}

// Batches are finished by the workers in any order; the output must keep the order given.
TEST(BatchWriterTest, WritesInTheOrderHandedOverWhateverOrderTheyAreReady) {
  Output output;
  ASSERT_TRUE(output.opened());
  {
    BatchWriter writer(output.file(), 8);
    std::vector<std::promise<FormattedBatch>> ready(4);
    for (auto& promise : ready) ASSERT_TRUE(writer.push(promise.get_future()));
    for (int i : {3, 1, 0, 2}) ready[i].set_value(batchOf("batch" + std::to_string(i) + ";"));
    EXPECT_TRUE(writer.drain());
    // Every written batch lends its room back.
    int spares = 0;
    while (writer.spare()) ++spares;
    EXPECT_EQ(spares, 4);
  }
  ASSERT_TRUE(output.file().commit());
  EXPECT_EQ(output.written(), "batch0;batch1;batch2;batch3;");
}

TEST(BatchWriterTest, FormattingErrorReachesDrainAndStopsWriting) {
  Output output;
  ASSERT_TRUE(output.opened());
  {
    BatchWriter writer(output.file(), 8);
    std::promise<FormattedBatch> first, failing;
    ASSERT_TRUE(writer.push(first.get_future()));
    ASSERT_TRUE(writer.push(failing.get_future()));
    first.set_value(batchOf("kept;"));
    failing.set_exception(std::make_exception_ptr(std::runtime_error("formatting failed")));
    EXPECT_THROW(writer.drain(), std::runtime_error);
    std::promise<FormattedBatch> later;
    later.set_value(batchOf("after;"));
    EXPECT_FALSE(writer.push(later.get_future()));
  }
  ASSERT_TRUE(output.file().commit());
  EXPECT_EQ(output.written(), "kept;");
}

}  // namespace
}  // namespace zarvex
