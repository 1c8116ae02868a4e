// A scratch array that lives on the stack when it is small.
#pragma once

#include <cstddef>

namespace hyph::detail {

/// Uninitialised elements: inline for up to N, on the heap beyond. Keeps the
/// hot path of hyphenation free of allocations for ordinary words.
template <class T, std::size_t N>
class SmallBuffer {
 public:
  SmallBuffer() = default;
  explicit SmallBuffer(std::size_t size) { resize(size); }
  SmallBuffer(const SmallBuffer&) = delete;
  SmallBuffer& operator=(const SmallBuffer&) = delete;
  ~SmallBuffer() { release(); }

  /// Makes room for `size` elements; the earlier contents are lost.
  void resize(std::size_t size) {
    if (size > N) {
      release();
      data_ = new T[size];
    }
    size_ = size;
  }

  T* data() { return data_; }
  const T* data() const { return data_; }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }

 private:
  void release() {
    if (data_ != inline_) delete[] data_;
    data_ = inline_;
  }

  T inline_[N];
  T* data_ = inline_;
  std::size_t size_ = 0;
};

}  // namespace hyph::detail
