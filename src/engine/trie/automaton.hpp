// The parts of the automaton's build that live in files of their own.
#pragma once

#include <cstdint>
#include <vector>

#include "flat_trie.hpp"

namespace hyph::detail {

/// Gives the busiest fail states resolved rows and turns every fail state in
/// the records into a link (see FlatTrie). `depths[v]`: the depth of state v.
void resolveFailStates(FlatTrie& trie, const std::vector<std::uint8_t>& depths);

}  // namespace hyph::detail
