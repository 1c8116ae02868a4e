// CharTable: building the table; the lookups are inline in the header.
#include "hyph/char_table.hpp"

#include <algorithm>

namespace hyph {

namespace {
bool keyLess(const std::pair<char32_t, std::uint64_t>& cell, char32_t key) {
  return cell.first < key;
}
}  // namespace

std::uint64_t CharTable::outsideCell(char32_t c) const {
  auto it = std::lower_bound(outside_.begin(), outside_.end(), c, keyLess);
  return it != outside_.end() && it->first == c ? it->second : 0;
}

std::uint64_t& CharTable::cellFor(char32_t c) {
  if (c > kMaxPaged) {
    auto it = std::lower_bound(outside_.begin(), outside_.end(), c, keyLess);
    if (it == outside_.end() || it->first != c) it = outside_.insert(it, {c, 0});
    return it->second;
  }
  return cells_.cell(c);
}

CharTable::CharTable(std::span<const Entry> entries, std::span<const char32_t> letters) {
  for (char32_t c : letters) cellFor(c) |= kLetter;
  for (auto [from, to] : entries) {
    cellFor(from) = kLetter | kHasEntry | to;
    cellFor(to) |= kLetter;
  }
}

}  // namespace hyph
