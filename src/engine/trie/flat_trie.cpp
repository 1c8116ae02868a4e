// The flat trie's structure, as the Patterns interface and walks read it,
// and the view that lookups read.
#include "flat_trie.hpp"

#include "hyph/error.hpp"

namespace hyph::detail {

void refuseWideSlots() {
  throw Error(
      "hyphenation tables too large for one word a slot, which this build of hyph "
      "(HYPH_WIDE_SLOTS=OFF) does not read");
}

void FlatTrie::buildAlphabet() {
  for (std::size_t symbol = 0; symbol < letters.size(); ++symbol)
    symbolTable.cell(letters[symbol]) = static_cast<SymbolCode>(symbol + 1);
  symbols = symbolTable.view();
}

std::uint32_t FlatTrie::next(std::uint32_t node, std::uint32_t symbol) const {
  if (doubleArray) {
    const std::uint32_t child = baseOf(node) + symbol + 1;
    return checkOf(child) == symbol + 1 ? child : kNoChild;
  }
  const Node& general = nodes[node];
  if (general.dense != kNoRow)
    return denseNext[std::size_t{general.dense} * letters.size() + symbol];
  const Edge* edge = edges.data() + general.edgeBegin;
  const Edge* end = edge + general.edgeCount;
  for (; edge != end; ++edge)
    if (edge->symbol >= symbol) return edge->symbol == symbol ? edge->node : kNoChild;
  return kNoChild;
}

std::uint32_t FlatTrie::childCount(std::uint32_t node) const {
  if (!doubleArray) return nodes[node].edgeCount;
  std::uint32_t count = 0;
  for (std::uint32_t symbol = 0; symbol < letters.size(); ++symbol)
    count += next(node, symbol) != kNoChild;
  return count;
}

FlatTrie::Edge FlatTrie::childAt(std::uint32_t node, std::uint32_t i) const {
  if (!doubleArray) return edges[nodes[node].edgeBegin + i];
  for (std::uint32_t symbol = 0; symbol < letters.size(); ++symbol)
    if (const std::uint32_t child = next(node, symbol); child != kNoChild && i-- == 0)
      return {symbol, child};
  return {kNoChild, kNoChild};  // not reached for a valid i
}

void FlatTrie::buildDenseRows() {
  constexpr std::uint32_t kSparse = 6;
  const std::size_t size = letters.size();
  for (Node& node : nodes) {
    if (node.edgeCount <= kSparse) continue;
    node.dense = static_cast<std::uint32_t>(denseNext.size() / (size ? size : 1));
    const std::size_t row = denseNext.size();
    denseNext.resize(row + size, kNoChild);
    for (std::uint32_t e = node.edgeBegin; e < node.edgeBegin + node.edgeCount; ++e)
      denseNext[row + edges[e].symbol] = edges[e].node;
  }
  denseNext.shrink_to_fit();
}

TrieView FlatTrie::view() const {
  TrieView view;
  view.wide = wide;
  view.scoring = scoring;
  view.window = window;
  view.symbolCount = static_cast<std::uint32_t>(letters.size());
  view.reach = reach;
  view.slots = slots;
  view.rows = rows;
  if (doubleArray)
    view.rootScores = {digits.data() + scoreStarts[0], scoreStarts[1] - scoreStarts[0]};
  view.letters = letters;
  view.windows = windows;
  view.reaches = reaches;
  view.mergedStarts = mergedStarts;
  view.mergedRuns = mergedRuns;
  view.depths = depths;
  return view;
}

}  // namespace hyph::detail
