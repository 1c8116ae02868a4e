// Making the flat exception table of a dictionary.
#include "exception_table.hpp"

#include <algorithm>

namespace hyph::detail {

std::uint64_t wordHash(std::u32string_view word) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char32_t c : word) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

ExceptionTable::ExceptionTable(const Exceptions& exceptions) {
  // In the order of the words, so that the arrays do not depend on the
  // hash map's layout.
  std::vector<const Exceptions::Map::value_type*> sorted;
  sorted.reserve(exceptions.map().size());
  for (const auto& entry : exceptions.map()) sorted.push_back(&entry);
  std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->first < b->first; });
  if (sorted.empty()) return;

  std::size_t size = 16;
  while (size < 2 * sorted.size()) size *= 2;
  slots.assign(size, 0);
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const auto& [word, scores] = *sorted[i];
    entries.insert(
        entries.end(),
        {static_cast<std::uint32_t>(keys.size()), static_cast<std::uint32_t>(word.size()),
         static_cast<std::uint32_t>(parities.size()), static_cast<std::uint32_t>(scores.size())});
    keys.insert(keys.end(), word.begin(), word.end());
    for (std::int64_t score : scores) parities.push_back(score % 2 != 0);
    std::size_t at = static_cast<std::size_t>(wordHash(word)) & (size - 1);
    while (slots[at] != 0) at = (at + 1) & (size - 1);
    slots[at] = static_cast<std::uint32_t>(i + 1);
  }
}

}  // namespace hyph::detail
