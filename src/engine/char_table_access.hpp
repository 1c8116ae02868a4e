// What the library's own sources see of a CharTable: its cells, and a table
// over cells that live elsewhere (the constant data of a built-in language).
#pragma once

#include "hyph/char_table.hpp"

namespace hyph {

struct CharTableAccess {
  using Cells = detail::PageTableView<std::uint32_t>;

  static const Cells& cells(const CharTable& table) { return table.cells_; }
  static std::span<const std::uint64_t> outside(const CharTable& table) { return table.outside_; }

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
