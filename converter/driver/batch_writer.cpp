#include "converter/driver/batch_writer.h"

#include <utility>

namespace zarvex {

BatchWriter::BatchWriter(OutputFile& output, std::size_t bound)
    : output_(output), bound_(bound == 0 ? 1 : bound), thread_([this] { run(); }) {}

BatchWriter::~BatchWriter() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  thread_.join();
}

bool BatchWriter::push(std::future<FormattedBatch> batch) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(
      lock, [this] { return failed_ || error_ || queue_.size() + (writing_ ? 1 : 0) < bound_; });
  if (failed_ || error_) return false;
  queue_.push_back(std::move(batch));
  lock.unlock();
  changed_.notify_all();
  return true;
}

bool BatchWriter::drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failed_ || error_ || (queue_.empty() && !writing_); });
  if (error_) std::rethrow_exception(error_);
  return !failed_;
}

std::optional<FormattedBatch> BatchWriter::spare() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (spares_.empty()) return std::nullopt;
  FormattedBatch batch = std::move(spares_.back());
  spares_.pop_back();
  return batch;
}

void BatchWriter::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    std::future<FormattedBatch> next = std::move(queue_.front());
    queue_.pop_front();
    writing_ = true;
    lock.unlock();
    std::optional<FormattedBatch> batch;
    std::exception_ptr error;
    bool failed = false;
    try {
      batch = next.get();
      if (!batch->text.empty()) output_.writeBlock(batch->text.data(), batch->text.size());
      failed = output_.failed();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    writing_ = false;
    if (error) {
      error_ = error;
      queue_.clear();
    } else if (failed) {
      failed_ = true;
      queue_.clear();
    }
    if (batch) spares_.push_back(std::move(*batch));
    changed_.notify_all();
  }
}

}  // namespace zarvex
