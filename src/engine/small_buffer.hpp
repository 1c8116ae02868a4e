// A fixed-size scratch array that lives on the stack when it is small.
#pragma once

#include <cstddef>
#include <memory>

namespace hyph::detail {

/// `size` uninitialised elements: inline for up to N, on the heap beyond.
/// Keeps the hot path of hyphenation free of allocations for ordinary words.
template <class T, std::size_t N>
class SmallBuffer {
 public:
  explicit SmallBuffer(std::size_t size)
      : heap_(size > N ? std::make_unique_for_overwrite<T[]>(size) : nullptr),
        data_(size > N ? heap_.get() : inline_),
        size_(size) {}
  SmallBuffer(const SmallBuffer&) = delete;
  SmallBuffer& operator=(const SmallBuffer&) = delete;

  T* data() { return data_; }
  const T* data() const { return data_; }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }

 private:
  T inline_[N];
  std::unique_ptr<T[]> heap_;
  T* data_;
  std::size_t size_;
};

}  // namespace hyph::detail
