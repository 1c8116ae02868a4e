// The parts of the automaton's build that live in files of their own.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

#include "flat_trie.hpp"

namespace hyph::detail {

/// While the automaton is built, whose records' high halves hold fail
/// states themselves: the state after `state` on `symbol`, fail states
/// followed.
inline std::uint32_t failStep(const FlatTrie& trie, std::uint32_t state, std::uint32_t symbol) {
  if (trie.recordWords == 2) {  // the usual layout, without next()'s loop over words
    const std::uint64_t bit = std::uint64_t{1} << symbol;
    while (true) {
      const std::uint64_t* record = trie.record(state);
      if (record[1] & bit)
        return FlatTrie::firstChildOf(record[0]) +
               static_cast<std::uint32_t>(std::popcount(record[1] & (bit - 1)));
      if (state == 0) return 0;
      state = FlatTrie::linkOf(record[0]);
    }
  }
  while (true) {
    if (const std::uint32_t child = trie.next(state, symbol); child != FlatTrie::kNoChild)
      return child;
    if (state == 0) return 0;
    state = trie.linkOf(state);
  }
}

/// Gives the busiest fail states resolved rows and turns every fail state in
/// the records into a link (see FlatTrie). `depths[v]`: the depth of state v.
void resolveFailStates(FlatTrie& trie, const std::vector<std::uint8_t>& depths);

}  // namespace hyph::detail
