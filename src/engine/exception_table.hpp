// The exception dictionary as a lookup reads it: an open-addressing table in
// a few flat arrays of fixed-width integers, which may lie in constant data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "hyph/exceptions.hpp"

namespace hyph::detail {

/// The hash of a word, the same on every platform (FNV-1a over its code
/// points, in 64 bits).
std::uint64_t wordHash(std::u32string_view word);

/// What hyphenation reads of an entry's score list is its length and which
/// entries are odd; `parities` holds 1 for an odd entry, 0 for an even one.
struct ExceptionTableView {
  std::span<const std::uint32_t> slots;  // a power of two: entry number + 1, or 0
  std::span<const std::uint32_t>
      entries;  // four an entry: key start, key length, parity start, length
  std::span<const char32_t> keys;
  std::span<const std::uint8_t> parities;

  bool empty() const { return entries.empty(); }
  std::size_t size() const { return entries.size() / 4; }

  /// The parities of the list stored for exactly `word`, or nothing.
  std::optional<std::span<const std::uint8_t>> find(std::u32string_view word) const {
    if (slots.empty()) return std::nullopt;
    const std::size_t mask = slots.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(wordHash(word)) & mask;; at = (at + 1) & mask) {
      const std::uint32_t entry = slots[at];
      if (entry == 0) return std::nullopt;
      const std::uint32_t* e = entries.data() + 4 * std::size_t{entry - 1};
      if (std::u32string_view(keys.data() + e[0], e[1]) == word)
        return parities.subspan(e[2], e[3]);
    }
  }

  /// The key of entry i, i < size().
  std::u32string_view key(std::size_t i) const {
    return {keys.data() + entries[4 * i], entries[4 * i + 1]};
  }
};

/// An ExceptionTableView's arrays, made from a dictionary. The same
/// dictionary gives the same arrays, byte for byte, on every platform.
struct ExceptionTable {
  explicit ExceptionTable(const Exceptions& exceptions);

  std::vector<std::uint32_t> slots, entries;
  std::vector<char32_t> keys;
  std::vector<std::uint8_t> parities;

  ExceptionTableView view() const { return {slots, entries, keys, parities}; }
};

/// A quick "certainly not" for exception lookups: a bit for each key's
/// first code, last code and length, hashed into 4096. The codes are symbol
/// codes of the keys' letters in the patterns' alphabet, and words are
/// tested with the codes of their normalised letters.
struct ExceptionFilter {
  static constexpr std::size_t kWords = 64;

  static std::size_t bitOf(std::uint32_t first, std::uint32_t last, std::size_t length) {
    const std::uint64_t key = (std::uint64_t{first} << 40) ^ (std::uint64_t{last} << 16) ^
                              static_cast<std::uint64_t>(length);
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 52);
  }
  /// False only when no key of this length starts and ends with these codes.
  static bool mayHold(std::span<const std::uint64_t> bits, std::uint32_t first, std::uint32_t last,
                      std::size_t length) {
    const std::size_t bit = bitOf(first, last, length);
    return (bits[bit >> 6] >> (bit & 63)) & 1;
  }
  /// The filter of the table's keys, each letter taken to its code by `code`.
  template <class Code>
  static std::vector<std::uint64_t> of(const ExceptionTableView& table, Code code) {
    std::vector<std::uint64_t> bits(kWords, 0);
    for (std::size_t i = 0; i < table.size(); ++i) {
      const std::u32string_view key = table.key(i);
      if (key.empty()) continue;
      const std::size_t bit = bitOf(code(key.front()), code(key.back()), key.size());
      bits[bit >> 6] |= std::uint64_t{1} << (bit & 63);
    }
    return bits;
  }
};

}  // namespace hyph::detail
