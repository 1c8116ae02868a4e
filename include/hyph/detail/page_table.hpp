// A map from code point to T in two levels, for Unicode's range: a read-only
// view, which may lie in constant data, and a builder that owns its storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace hyph::detail {

/// Code points are grouped in pages of 256 (page p holds p << 8 to
/// p << 8 | 255); only pages that hold a value take room, and every other
/// code point reads as T{}. `slots[p]` is page p's place among the pages
/// (kAbsentPage for none), `cells` the pages one after another. A read is
/// two array loads.
template <class T>
struct PageTableView {
  static constexpr unsigned kPageBits = 8;
  static constexpr std::size_t kPageSize = std::size_t{1} << kPageBits;
  static constexpr std::uint32_t kAbsentPage = ~std::uint32_t{0};

  std::span<const std::uint32_t> slots;
  std::span<const T> cells;

  /// The value of `c`, or T{}.
  T operator[](char32_t c) const {
    const T* cells = page(c >> kPageBits);
    return cells ? cells[c & (kPageSize - 1)] : T{};
  }

  /// The page's kPageSize cells, or nullptr when it holds no value.
  const T* page(std::size_t number) const {
    if (number >= slots.size() || slots[number] == kAbsentPage) return nullptr;
    return cells.data() + (std::size_t{slots[number]} << kPageBits);
  }

  /// Calls `visit(number)` for each page that has cells, in ascending order.
  template <class Visit>
  void forEachPage(Visit visit) const {
    for (std::size_t number = 0; number < slots.size(); ++number)
      if (slots[number] != kAbsentPage) visit(number);
  }
};

/// Builds a page table; its view stays valid while the builder lives and
/// makes no new page.
template <class T>
class PageTableBuilder {
 public:
  static constexpr std::size_t kPageSize = PageTableView<T>::kPageSize;

  /// The cell of `c`, its page made (filled with T{}) if needed. The
  /// reference lasts until the next page is made.
  T& cell(char32_t c) { return cells_[offsetOf(c >> PageTableView<T>::kPageBits) + (c & 255)]; }

  /// Where the page's cells start in the storage, the page made if needed:
  /// stable while other pages are made, unlike a pointer.
  std::size_t offsetOf(std::size_t number) {
    if (number >= slots_.size()) slots_.resize(number + 1, PageTableView<T>::kAbsentPage);
    if (slots_[number] == PageTableView<T>::kAbsentPage) {
      slots_[number] = static_cast<std::uint32_t>(cells_.size() / kPageSize);
      cells_.resize(cells_.size() + kPageSize, T{});
    }
    return std::size_t{slots_[number]} * kPageSize;
  }
  T* data() { return cells_.data(); }

  PageTableView<T> view() const { return {slots_, cells_}; }

 private:
  std::vector<std::uint32_t> slots_;
  std::vector<T> cells_;
};

}  // namespace hyph::detail
