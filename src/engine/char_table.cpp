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
  auto storage = std::make_shared<Storage>();
  std::map<char32_t, std::uint64_t> cells;  // every code point with a cell, in full
  for (char32_t c : letters) cells[c] |= kLetter;
  for (auto [from, to] : entries) {
    cells[from] = kLetter | kHasEntry | to;
    cells[to] |= kLetter;
  }
  std::map<char32_t, std::uint64_t> outside;
  for (auto [c, cell] : cells) {
    const auto value = static_cast<std::uint32_t>(cell);
    if (c > kMaxPaged || value > kValueMask) {
      outside[c] = cell;
      if (c <= kMaxPaged) storage->cells.cell(c) = kElsewhere;
    } else {
      storage->cells.cell(c) =
          value | ((cell & kHasEntry) ? kPagedEntry : 0) | ((cell & kLetter) ? kPagedLetter : 0);
    }
  }
  for (auto [c, cell] : outside) {
    storage->outside.push_back(c);
    storage->outside.push_back(cell);
  }
  cells_ = storage->cells.view();
  outside_ = storage->outside;
  storage_ = std::move(storage);
}

}  // namespace hyph
