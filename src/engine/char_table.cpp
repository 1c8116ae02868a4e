// CharTable: building the table; the lookups are inline in the header.
#include "hyph/char_table.hpp"

#include <algorithm>
#include <map>
#include <vector>

namespace hyph {

namespace {

struct Storage {
  detail::PageTableBuilder<std::uint64_t> cells;
  std::vector<std::uint64_t> outside;  // (code point, cell) pairs, ascending
};

}  // namespace

std::uint64_t CharTable::outsideCell(char32_t c) const {
  std::size_t low = 0, high = outside_.size() / 2;
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (outside_[2 * middle] < c)
      low = middle + 1;
    else
      high = middle;
  }
  return low < outside_.size() / 2 && outside_[2 * low] == c ? outside_[2 * low + 1] : 0;
}

CharTable::CharTable(std::span<const Entry> entries, std::span<const char32_t> letters) {
  auto storage = std::make_shared<Storage>();
  std::map<char32_t, std::uint64_t> outside;
  auto cellFor = [&](char32_t c) -> std::uint64_t& {
    return c > kMaxPaged ? outside[c] : storage->cells.cell(c);
  };
  for (char32_t c : letters) cellFor(c) |= kLetter;
  for (auto [from, to] : entries) {
    cellFor(from) = kLetter | kHasEntry | to;
    cellFor(to) |= kLetter;
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
