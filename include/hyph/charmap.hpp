// CharMap: a table from code point to code point, used to normalise words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "hyph/export.hpp"

namespace hyph {

/// An immutable map from code point to code point; code points without an
/// entry map to themselves. It also records a set of letters (for a
/// language: every code point of its character file), by which running text
/// is split into words. A lookup is two array reads.
class HYPH_API CharMap {
 public:
  using Entry = std::pair<char32_t, char32_t>;  // from, to

  CharMap() = default;
  /// The map of `entries`, a later entry for a code point replacing an
  /// earlier one, with `letters` and every code point of `entries` as its
  /// letters.
  CharMap(std::span<const Entry> entries, std::span<const char32_t> letters);

  /// The entry for `c`, or `c` itself.
  char32_t operator()(char32_t c) const {
    const std::uint64_t cell = cellOf(c);
    return (cell & kHasEntry) ? static_cast<char32_t>(cell) : c;
  }
  /// Whether the map holds an entry for `c`.
  bool hasEntry(char32_t c) const { return (cellOf(c) & kHasEntry) != 0; }
  /// Whether `c` is one of the letters.
  bool isLetter(char32_t c) const { return (cellOf(c) & kLetter) != 0; }

  /// Calls `visit(page)` for each block of 256 code points (page << 8 up to
  /// page << 8 | 255) up to U+10FFFF that holds an entry or a letter.
  template <class Visit>
  void forEachPage(Visit visit) const {
    for (std::size_t page = 0; page < pageIndex_.size(); ++page)
      if (pageIndex_[page] != 0) visit(page);
  }

 private:
  // A cell holds the entry's value in its low 32 bits and two flags above.
  static constexpr std::uint64_t kHasEntry = std::uint64_t{1} << 32;
  static constexpr std::uint64_t kLetter = std::uint64_t{1} << 33;
  static constexpr unsigned kPageBits = 8;
  static constexpr char32_t kPageMask = (1u << kPageBits) - 1;
  static constexpr char32_t kMaxPaged = 0x10FFFF;

  std::uint64_t cellOf(char32_t c) const {
    const std::size_t page = c >> kPageBits;
    if (page < pageIndex_.size()) {
      const std::uint32_t index = pageIndex_[page];
      return index == 0 ? 0 : cells_[((std::size_t{index} - 1) << kPageBits) | (c & kPageMask)];
    }
    return c > kMaxPaged ? outsideCell(c) : 0;
  }
  std::uint64_t outsideCell(char32_t c) const;
  std::uint64_t& cellFor(char32_t c);

  // Two levels for Unicode's range: pageIndex_[c >> 8] is 0 for a page
  // without cells, else one more than the page's number in cells_. Values
  // past U+10FFFF, which no decoded text holds, go to a sorted side list.
  std::vector<std::uint32_t> pageIndex_;
  std::vector<std::uint64_t> cells_;
  std::vector<std::pair<char32_t, std::uint64_t>> outside_;
};

}  // namespace hyph
