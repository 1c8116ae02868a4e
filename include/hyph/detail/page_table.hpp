// PageTable<T>: a map from code point to T in two levels, for Unicode's range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hyph::detail {

/// Code points are grouped in pages of 256 (page p holds p << 8 to
/// p << 8 | 255); only pages that hold a value take room, and every other
/// code point reads as T{}. A read is two array loads.
template <class T>
class PageTable {
 public:
  static constexpr unsigned kPageBits = 8;
  static constexpr std::size_t kPageSize = std::size_t{1} << kPageBits;

  /// The value of `c`, or T{}.
  T operator[](char32_t c) const {
    const T* cells = page(c >> kPageBits);
    return cells ? cells[c & (kPageSize - 1)] : T{};
  }

  /// The page's kPageSize cells, or nullptr when it holds no value.
  const T* page(std::size_t number) const {
    if (number >= slots_.size() || slots_[number] == kAbsent) return nullptr;
    return cells_.data() + (std::size_t{slots_[number]} << kPageBits);
  }

  /// The cell of `c`, its page made (filled with T{}) if needed. The
  /// reference lasts until the next page is made.
  T& cell(char32_t c) { return cells_[offsetOf(c >> kPageBits) + (c & (kPageSize - 1))]; }

  /// Where the page's cells start in the table's storage, the page made if
  /// needed: stable while other pages are made, unlike a pointer.
  std::size_t offsetOf(std::size_t number) {
    if (number >= slots_.size()) slots_.resize(number + 1, kAbsent);
    if (slots_[number] == kAbsent) {
      slots_[number] = static_cast<std::uint32_t>(cells_.size() >> kPageBits);
      cells_.resize(cells_.size() + kPageSize, T{});
    }
    return std::size_t{slots_[number]} << kPageBits;
  }
  T* data() { return cells_.data(); }

  /// Calls `visit(number)` for each page that has cells, in ascending order.
  template <class Visit>
  void forEachPage(Visit visit) const {
    for (std::size_t number = 0; number < slots_.size(); ++number)
      if (slots_[number] != kAbsent) visit(number);
  }

  std::size_t bytes() const {
    return slots_.size() * sizeof(std::uint32_t) + cells_.size() * sizeof(T);
  }

 private:
  static constexpr std::uint32_t kAbsent = ~std::uint32_t{0};
  std::vector<std::uint32_t> slots_;  // by page: its place among the pages in cells_
  std::vector<T> cells_;
};

}  // namespace hyph::detail
