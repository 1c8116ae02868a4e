// Placing a trie's nodes in a double array, children of one node after
// another: the packing that a parsed trie is built with, and that a packed
// one placed without its bases is placed with again.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace hyph::detail {

/// Places the children of one node after another in the double array:
/// at the first base, from the lowest free slot on, at which every child's
/// slot is free and which no other node has. The slots taken and the bases
/// had are bitmaps, so that 64 bases are tried at once: a base is free
/// where its bit is clear in the bases and, for every code, in the slots
/// shifted by that code.
class SlotAllocator {
 public:
  SlotAllocator() { take(0); }  // the root's slot

  /// The base of a node whose children have `codes` (at least one, in
  /// ascending order), its children's slots taken.
  std::uint32_t place(const std::vector<std::uint32_t>& codes) {
    const std::size_t first = codes.front();
    // A node of many children rarely fits among the slots taken: it goes
    // past them, so that a trie of many symbols packs in bounded time.
    const std::size_t from = codes.size() > kManyChildren ? size_ : std::max(firstFree_, floor_);
    const std::size_t start = from > first ? from - first : 0;
    // Slots and bases are only ever taken, so a base that failed a node of
    // one child fails every later node with a child of that code: the
    // search goes straight to the word of the highest such mark. In a
    // crowded array most searches would cross the same taken slots again.
    std::size_t known = start;
    for (const std::uint32_t code : codes)
      if (code < failedBelow_.size()) known = std::max(known, failedBelow_[code]);
    std::size_t steps = (known - start) / 64;
    // Every base from size_ on fits (no slot or base lies there), so the
    // search ends within a word of it: the maps are made that long, and
    // read without a check.
    const std::size_t words = (std::max(start + 64 * steps, size_) + codes.back()) / 64 + 4;
    if (used_.size() < words) used_.resize(words, 0);
    if (bases_.size() < words) bases_.resize(words, 0);
    for (std::size_t base = start + 64 * steps, tried = 1;; base += 64, ++steps, ++tried) {
      std::uint64_t fit = ~bitsAt(bases_, base);
      for (std::size_t i = 0; i < codes.size() && fit != 0; ++i)
        fit &= ~bitsAt(used_, base + codes[i]);
      if (fit == 0) continue;
      wordsTried_ += tried;
      base += static_cast<std::size_t>(std::countr_zero(fit));
      if (codes.size() == 1) {
        if (failedBelow_.size() <= first) failedBelow_.resize(first + 1, 0);
        failedBelow_[first] = base + 1;
      }
      // Where free slots have grown so rare that a search crosses many
      // taken ones (a trie of a million nodes, mostly in chains), later
      // searches start nearer the end: the few slots left behind are lost,
      // and packing stays linear.
      if (steps > kCrowded) floor_ = std::max(floor_, base - std::min(base, 64 * kCrowded / 2));
      set(bases_, base);
      for (std::uint32_t code : codes) take(base + code);
      return static_cast<std::uint32_t>(base);
    }
  }

  /// The words of 64 bases that the searches have tried, in all: the
  /// measure of the work of placing.
  std::size_t wordsTried() const { return wordsTried_; }

  /// The slots up to the last one taken.
  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kManyChildren = 64;
  // Words of 64 slots that a search may cross before later ones start
  // further on: more than any language of the collection needs.
  static constexpr std::size_t kCrowded = 256;

  /// The 64 bits of `map` from bit `at` on, which the map holds.
  static std::uint64_t bitsAt(const std::vector<std::uint64_t>& map, std::size_t at) {
    const std::size_t word = at / 64, shift = at % 64;
    return shift == 0 ? map[word] : (map[word] >> shift) | (map[word + 1] << (64 - shift));
  }
  static void set(std::vector<std::uint64_t>& map, std::size_t at) {
    if (map.size() <= at / 64) map.resize(at / 64 + 1, 0);
    map[at / 64] |= std::uint64_t{1} << (at % 64);
  }
  void take(std::size_t slot) {
    set(used_, slot);
    size_ = std::max(size_, slot + 1);
    while (firstFree_ / 64 < used_.size() && (used_[firstFree_ / 64] >> (firstFree_ % 64)) & 1)
      ++firstFree_;
  }

  std::vector<std::uint64_t> used_;   // a bit a slot
  std::vector<std::uint64_t> bases_;  // a bit a base that a node has
  // By code: every base below it fails a node with a child of that code.
  std::vector<std::size_t> failedBelow_;
  std::size_t firstFree_ = 0;
  std::size_t floor_ = 0;  // where searches start, at least
  std::size_t size_ = 0;
  std::size_t wordsTried_ = 0;
};

}  // namespace hyph::detail
