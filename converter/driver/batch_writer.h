#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "converter/driver/batch_formatter.h"
#include "converter/driver/output_file.h"

namespace zarvex {

/// Writes formatted batches to an output, in the order handed over, on a thread of its own, so
/// that the thread that runs the rules never waits for the disk or a pipe. Nothing else may
/// touch the output until drain() has returned or the writer is gone. The destructor drops the
/// batches not yet written.
class BatchWriter {
 public:
  /// At most `bound` batches wait or are being written at a time.
  BatchWriter(OutputFile& output, std::size_t bound);
  ~BatchWriter();
  BatchWriter(const BatchWriter&) = delete;
  BatchWriter& operator=(const BatchWriter&) = delete;

  /// Queues `batch`, waiting while the queue is full. False once the output has failed: what
  /// comes after is not written.
  bool push(std::future<FormattedBatch> batch);
  /// Waits until every queued batch is written; passes on what formatting one threw. False
  /// when the output has failed.
  bool drain();
  /// A written batch, whose room the next one may take.
  std::optional<FormattedBatch> spare();

 private:
  void run();

  OutputFile& output_;
  const std::size_t bound_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::future<FormattedBatch>> queue_;
  std::vector<FormattedBatch> spares_;
  // A batch taken from the queue is being written.
  bool writing_ = false;
  bool failed_ = false;
  bool stopping_ = false;
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace zarvex
