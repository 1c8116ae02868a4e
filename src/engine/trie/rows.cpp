// Resolved rows for the automaton's busiest fail states: which fail states
// get one, and the rows themselves.
#include <algorithm>

#include "automaton.hpp"

namespace hyph::detail {

namespace {

// Which fail states get resolved rows: none unless the trie has one bitmap
// word and states that fit 16 bits.
std::vector<std::uint8_t> chooseRows(const FlatTrie& trie,
                                     const std::vector<std::uint8_t>& depths) {
  const std::size_t count = trie.nodeCount();
  if (trie.recordWords != 2 || count >= FlatTrie::kUnresolved) return {};
  // links[v]: how many states fail to v (the root counts one more: it is
  // always a fail state).
  const std::uint64_t* cells = trie.cells.data();
  auto failOf = [cells](std::size_t v) { return FlatTrie::linkOf(cells[2 * v]); };
  std::vector<std::uint32_t> links(count, 0);
  links[0] = 1;
  for (std::size_t v = 1; v < count; ++v) ++links[failOf(v)];
  std::vector<std::uint8_t> chosen(count, 0);
  // Rows pay where misses land often: a step that must go the long way also
  // mispredicts. So rows go as deep as needed to take in nine fail states of
  // ten, when that costs no more than the records themselves.
  const std::size_t rowBytes = trie.letters.size() * sizeof(std::uint16_t);
  const std::size_t budget = count * 16;
  std::vector<std::size_t> byDepth(FlatTrie::kWindow, 0);  // fail states by depth
  std::size_t targets = 0;
  // Depths ascend in breadth-first order, so each is counted in a register;
  // branches on whether a state is a fail state would not predict.
  for (std::size_t v = 0, run = 0; v <= count; ++v) {
    if (v == count || (v != 0 && depths[v] != depths[v - 1])) {
      byDepth[depths[v - 1]] = run;
      targets += run;
      run = 0;
      if (v == count) break;
    }
    run += links[v] != 0;
  }
  std::size_t depth = 0;
  std::size_t rows = 0;
  while (depth < byDepth.size() && 10 * rows < 9 * targets) rows += byDepth[depth++];
  if ((rows + 1) * rowBytes <= budget) {
    for (std::size_t v = 0; v < count; ++v) chosen[v] = links[v] != 0 && depths[v] < depth;
    return chosen;
  }
  // A larger trie has more fail states than that, and most take few links:
  // rows then go to the states that most states fail to, the most linked
  // first, until they take in four links of five, within half the records'
  // size. statesAt[k] counts the states that take k links (the last level:
  // at least that many, taking linksAbove in all); most take none or one,
  // so those with one are counted in a register.
  constexpr std::uint32_t kLevels = 1024;
  std::vector<std::size_t> statesAt(kLevels + 1, 0);
  std::size_t ones = 0;
  std::size_t linksAbove = 0;
  for (std::size_t v = 0; v < count; ++v) {
    const std::uint32_t k = links[v];
    ones += k == 1;
    if (k > 1) {
      ++statesAt[std::min(k, kLevels)];
      if (k >= kLevels) linksAbove += k;
    }
  }
  statesAt[1] = ones;
  std::uint32_t threshold = kLevels + 1;
  std::size_t covered = 0;
  rows = 0;
  for (std::uint32_t level = kLevels; level > 0 && 5 * covered < 4 * count; --level) {
    if ((rows + statesAt[level] + 1) * rowBytes > budget / 2) break;
    rows += statesAt[level];
    covered += level == kLevels ? linksAbove : level * statesAt[level];
    threshold = level;
  }
  for (std::size_t v = 0; v < count; ++v) chosen[v] = std::min(links[v], kLevels) >= threshold;
  // A row is its fail state's with the state's own children over it, so the
  // fail states of chosen ones are chosen too.
  chosen[0] = 1;
  for (std::size_t v = count; v-- > 1;) chosen[failOf(v)] |= chosen[v];
  return chosen;
}

}  // namespace

void resolveFailStates(FlatTrie& trie, const std::vector<std::uint8_t>& depths) {
  const std::size_t count = trie.nodeCount();
  const std::size_t symbols = trie.letters.size();
  std::uint64_t* cells = trie.cells.data();
  const std::size_t words = trie.recordWords;
  auto failOf = [&](std::size_t v) { return FlatTrie::linkOf(cells[v * words]); };
  auto setLink = [&](std::size_t v, std::uint32_t link) {
    cells[v * words] = (cells[v * words] & FlatTrie::kFirstChildMask) |
                       (std::uint64_t{link} << FlatTrie::kLinkShift);
  };
  const std::vector<std::uint8_t> chosen = chooseRows(trie, depths);
  if (chosen.empty()) {
    for (std::size_t v = 0; v < count; ++v) setLink(v, FlatTrie::kFailLink | failOf(v));
    return;
  }
  // rowOf[v]: the number of v's row, 0 for none; row 0 holds only
  // kUnresolved. There are fewer rows than states, so 16 bits number them.
  // Breadth first, so a state's fail state (shallower, and chosen too) has
  // its row already.
  std::vector<std::uint16_t> rowOf(count, 0);
  const auto rows = static_cast<std::size_t>(std::count(chosen.begin(), chosen.end(), 1));
  auto& resolved = trie.resolved;
  resolved.assign((rows + 1) * symbols, 0);  // the root's row: 0 where it has no child
  std::fill_n(resolved.begin(), symbols, FlatTrie::kUnresolved);
  std::uint16_t* const table = resolved.data();
  std::uint16_t number = 0;
  for (std::size_t v = 0; v < count; ++v) {
    if (!chosen[v]) continue;
    rowOf[v] = ++number;
    std::uint16_t* row = table + std::size_t{number} * symbols;
    if (v != 0) std::copy_n(table + std::size_t{rowOf[failOf(v)]} * symbols, symbols, row);
    auto child = static_cast<std::uint16_t>(FlatTrie::firstChildOf(cells[v * words]));
    for (std::uint64_t bits = cells[v * words + 1]; bits != 0; bits &= bits - 1)
      row[std::countr_zero(bits)] = child++;
  }
  for (std::size_t v = 0; v < count; ++v) {
    const std::uint32_t fail = failOf(v);
    const std::uint32_t row = rowOf[fail];
    setLink(v, row != 0 ? row * static_cast<std::uint32_t>(symbols) : FlatTrie::kFailLink | fail);
  }
}

}  // namespace hyph::detail
