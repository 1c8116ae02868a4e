// CharTable: the character table, from code point to code point, by which
// words are normalised before lookup (the function form of the same mapping
// is CharMapping, in hyphenator.hpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>

#include "hyph/detail/page_table.hpp"
#include "hyph/export.hpp"

namespace hyph {

/// An immutable map from code point to code point; code points without an
/// entry map to themselves. It also records a set of letters (for a
/// language: every code point of its character file), by which running text
/// is split into words. A lookup is two array reads; a copy shares the
/// table, and the table of a built-in language is constant data of the
/// library.
class HYPH_API CharTable {
 public:
  /// An entry: a code point and what it maps to.
  using Entry = std::pair<char32_t, char32_t>;

  /// The empty table: every code point maps to itself, none is a letter.
  CharTable() = default;
  /// The map of `entries`, a later entry for a code point replacing an
  /// earlier one, with `letters` and every code point of `entries` as its
  /// letters.
  CharTable(std::span<const Entry> entries, std::span<const char32_t> letters);

  /// The entry for `c`, or `c` itself.
  char32_t operator()(char32_t c) const {
    const std::uint64_t cell = cellOf(c);
    return (cell & kHasEntry) ? static_cast<char32_t>(cell) : c;
  }
  /// Whether the map holds an entry for `c`.
  bool hasEntry(char32_t c) const { return (cellOf(c) & kHasEntry) != 0; }
  /// Whether `c` is one of the letters.
  bool isLetter(char32_t c) const {
    if (c <= kMaxPaged) {
      const std::uint32_t cell = cells_[c];
      if (!(cell & kElsewhere)) return (cell & kPagedLetter) != 0;
    }
    return (outsideCell(c) & kLetter) != 0;
  }

  /// Calls `visit(page)` for each block of 256 code points (page << 8 up to
  /// page << 8 | 255) up to U+10FFFF that holds an entry or a letter.
  template <class Visit>
  void forEachPage(Visit visit) const {
    cells_.forEachPage(visit);
  }

 private:
  friend struct CharTableAccess;

  // A cell holds the entry's value in its low 32 bits and two flags above.
  static constexpr std::uint64_t kHasEntry = std::uint64_t{1} << 32;
  static constexpr std::uint64_t kLetter = std::uint64_t{1} << 33;
  // The cells of the pages, for code points up to U+10FFFF, are 32 bits: the
  // value in the low 21, the same two flags at the top, and a flag that
  // says the cell is in the side list (for a value past 21 bits).
  static constexpr std::uint32_t kValueMask = 0x1FFFFF;
  static constexpr std::uint32_t kElsewhere = 1u << 29;
  static constexpr std::uint32_t kPagedEntry = 1u << 30;
  static constexpr std::uint32_t kPagedLetter = 1u << 31;
  static constexpr char32_t kMaxPaged = 0x10FFFF;

  std::uint64_t cellOf(char32_t c) const {
    if (c <= kMaxPaged) {
      const std::uint32_t cell = cells_[c];
      if (!(cell & kElsewhere))
        return (cell & kValueMask) | (std::uint64_t{cell >> 30 & 1} << 32) |
               (std::uint64_t{cell >> 31} << 33);
    }
    return outsideCell(c);
  }
  std::uint64_t outsideCell(char32_t c) const;
  /// The table of every code point's cell (its value, kHasEntry and
  /// kLetter), in ascending order of code point.
  static CharTable ofCells(std::span<const std::pair<char32_t, std::uint64_t>> cells);

  // Code points past U+10FFFF, which no decoded text holds, and those whose
  // value does not fit a paged cell, are in a side list of (code point,
  // cell) pairs, ascending.
  detail::PageTableView<std::uint32_t> cells_;
  std::span<const std::uint64_t> outside_;
  std::shared_ptr<const void> storage_;  // what the views point into, unless constant data
};

/// CharTable's name in hyph 1.0.0.
using CharMap [[deprecated("CharMap is now called CharTable")]] = CharTable;

}  // namespace hyph
