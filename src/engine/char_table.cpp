// CharTable: building the table; the lookups are inline in the header.
#include "hyph/char_table.hpp"

#include <algorithm>
#include <map>
#include <vector>

#include "sorted_pairs.hpp"

namespace hyph {

namespace {

struct Storage {
  detail::PageTableBuilder<std::uint32_t> cells;
  std::vector<std::uint64_t> outside;  // (code point, cell) pairs, ascending
};

}  // namespace

std::uint64_t CharTable::outsideCell(char32_t c) const { return detail::valueOfPair(outside_, c); }

CharTable::CharTable(std::span<const Entry> entries, std::span<const char32_t> letters) {
  std::map<char32_t, std::uint64_t> cells;  // every code point with a cell, in full
  for (char32_t c : letters) cells[c] |= kLetter;
  for (auto [from, to] : entries) {
    cells[from] = kLetter | kHasEntry | to;
    cells[to] |= kLetter;
  }
  *this = ofCells(std::vector<std::pair<char32_t, std::uint64_t>>(cells.begin(), cells.end()));
}

CharTable CharTable::ofCells(std::span<const std::pair<char32_t, std::uint64_t>> cells) {
  auto storage = std::make_shared<Storage>();
  for (auto [c, cell] : cells) {
    const auto value = static_cast<std::uint32_t>(cell);
    if (c > kMaxPaged || value > kValueMask) {
      storage->outside.push_back(c);
      storage->outside.push_back(cell);
      if (c <= kMaxPaged) storage->cells.cell(c) = kElsewhere;
    } else {
      storage->cells.cell(c) =
          value | ((cell & kHasEntry) ? kPagedEntry : 0) | ((cell & kLetter) ? kPagedLetter : 0);
    }
  }
  CharTable table;
  table.cells_ = storage->cells.view();
  table.outside_ = storage->outside;
  table.storage_ = std::move(storage);
  return table;
}

}  // namespace hyph
