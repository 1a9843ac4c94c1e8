#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace zarvex {

/// A growable byte buffer that number formatters write into directly, without a temporary copy
/// and without the zero-filling of std::string::resize.
class OutputBuffer {
 public:
  OutputBuffer() = default;
  OutputBuffer(OutputBuffer&& other) noexcept
      : data_(std::move(other.data_)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  OutputBuffer& operator=(OutputBuffer&& other) noexcept {
    data_ = std::move(other.data_);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    return *this;
  }

  /// Room for at least `n` more bytes; write them at the returned pointer, then commit().
  char* grab(size_t n) {
    if (capacity_ - size_ < n) grow(n);
    return data_.get() + size_;
  }
  /// Takes the bytes written after grab() up to `end`.
  void commit(const char* end) { size_ = static_cast<size_t>(end - data_.get()); }

  void append(const char* bytes, size_t n) {
    std::memcpy(grab(n), bytes, n);
    size_ += n;
  }
  void append(const char* text) { append(text, std::strlen(text)); }
  void append(const std::string& text) { append(text.data(), text.size()); }
  void push_back(char c) {
    *grab(1) = c;
    ++size_;
  }
  const char* data() const { return data_.get(); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

 private:
  void grow(size_t n) {
    size_t capacity = capacity_ == 0 ? 4096 : capacity_ * 2;
    while (capacity - size_ < n) capacity *= 2;
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_ != 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace zarvex
