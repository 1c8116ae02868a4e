// The values of code points past the page tables (U+110000 and above, which
// a mapping function may produce): a flat list of (key, value) pairs in
// ascending order of key, searched by halves.
#pragma once

#include <cstdint>
#include <span>

namespace hyph::detail {

/// The value paired with `key`, or 0 where there is none.
inline std::uint64_t valueOfPair(std::span<const std::uint64_t> pairs, std::uint64_t key) {
  const std::size_t count = pairs.size() / 2;
  std::size_t low = 0, high = count;
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (pairs[2 * middle] < key)
      low = middle + 1;
    else
      high = middle;
  }
  return low < count && pairs[2 * low] == key ? pairs[2 * low + 1] : 0;
}

}  // namespace hyph::detail
