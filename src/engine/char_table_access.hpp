// What the library's own sources see of a CharTable: its cells, and a table
// over cells that live elsewhere (the constant data of a built-in language).
#pragma once

#include "hyph/char_table.hpp"

namespace hyph {

struct CharTableAccess {
  using Cells = detail::PageTableView<std::uint32_t>;
  // A cell in full: its value, and whether it is an entry and a letter.
  static constexpr std::uint64_t kHasEntry = CharTable::kHasEntry, kLetter = CharTable::kLetter;

  static const Cells& cells(const CharTable& table) { return table.cells_; }
  static std::span<const std::uint64_t> outside(const CharTable& table) { return table.outside_; }

  /// The table of these cells, in ascending order of code point.
  static CharTable ofCells(std::span<const std::pair<char32_t, std::uint64_t>> cells) {
    return CharTable::ofCells(cells);
  }

  /// A table over `cells` and `outside` (see CharTable), which `owner`
  /// keeps alive (nullptr for constant data).
  static CharTable over(Cells cells, std::span<const std::uint64_t> outside,
                        std::shared_ptr<const void> owner) {
    CharTable table;
    table.cells_ = cells;
    table.outside_ = outside;
    table.storage_ = std::move(owner);
    return table;
  }
};

}  // namespace hyph
