// The flat form of a pattern trie, laid out for lookup: nodes are integers,
// each node's children a sorted run of (symbol, node) in two arrays, and every
// code point that occurs in some pattern is renumbered as a small symbol.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

#include "hyph/charmap.hpp"
#include "hyph/exception.hpp"
#include "hyph/pattern.hpp"

namespace hyph::detail {

struct FlatTrie {
  static constexpr std::uint32_t kNone = 0;  // "no symbol" and "no child" (values are +1)

  // Alphabet: symbolCells[(pageIndex[c >> 8] - 1) * 256 + (c & 255)] is the
  // symbol of c plus one, or 0. Symbols ascend with their code points.
  std::vector<std::uint32_t> pageIndex;
  std::vector<std::uint32_t> symbolCells;
  std::vector<char32_t> letters;  // symbol -> code point

  struct Edge {
    std::uint32_t symbol;
    std::uint32_t node;
  };
  struct Node {
    std::uint32_t edgeBegin;  // the node's children: edges[edgeBegin, + edgeCount), by symbol
    std::uint32_t edgeCount;
    std::uint32_t scoreStart;  // its scores: scoreLength entries from scoreStart
    std::uint32_t scoreLength;
    std::uint32_t dense;  // for a node with many children: its row in denseNext plus one
  };
  std::vector<Node> nodes;
  std::vector<Edge> edges;
  // Dense rows, one entry per symbol: the child plus one, or 0.
  std::vector<std::uint32_t> denseNext;

  // Scores live in `digits` when every score fits a byte (always so for
  // parsed text), else in `wide`.
  std::vector<std::uint8_t> digits;
  std::vector<std::int64_t> wide;
  bool narrow = true;
  std::uint32_t maxScoreLength = 0;

  // For a trie that is a tree (every parsed trie), an Aho-Corasick automaton
  // over it, so that a lookup is one pass over the word instead of a walk
  // from every position. For each node v: `fail` is the node of the longest
  // proper suffix of v's path that is also a path; the output (outLength
  // scores from outStart in outDigits) is the pointwise maximum of
  // the scores of v and of every node on its fail chain, each aligned at the
  // start of v's path; and the nodes near the root, which every lookup
  // passes, have a row of deltaNext that gives the next state for every
  // symbol at once, failure links followed.
  struct AutomatonState {
    std::uint32_t fail;
    std::uint32_t outStart;
    std::uint32_t link;  // dense: the row in deltaNext; else the first edge
    std::uint16_t outLength;
    std::uint8_t depth;
    std::uint8_t edgeCount;  // kDenseState for a state with a row
  };
  static constexpr std::uint8_t kDenseState = 0xFF;
  bool automaton = false;
  std::vector<AutomatonState> states;
  std::vector<std::uint32_t> deltaNext;
  std::vector<std::uint8_t> outDigits;

  /// Builds the automaton when the trie is shallow enough for its compact
  /// records (patterns of at most 254 letters, as every language's are);
  /// the nodes must be numbered breadth first.
  void buildAutomaton();

  /// The state after `state` on `symbol`, failure links followed.
  std::uint32_t advance(std::uint32_t state, std::uint32_t symbol) const {
    while (true) {
      const AutomatonState& a = states[state];
      if (a.edgeCount == kDenseState)
        return deltaNext[std::size_t{a.link} * letters.size() + symbol];
      for (const Edge *edge = edges.data() + a.link, *end = edge + a.edgeCount; edge != end; ++edge)
        if (edge->symbol >= symbol) {
          if (edge->symbol == symbol) return edge->node;
          break;
        }
      state = a.fail;  // the root has a row, so this ends
    }
  }

  /// Gives nodes with more than a few children a dense row; call once the
  /// edges are in place.
  void buildDenseRows() {
    constexpr std::uint32_t kSparse = 6;
    const std::size_t symbols = letters.size();
    for (Node& node : nodes) {
      if (node.edgeCount <= kSparse) continue;
      node.dense = static_cast<std::uint32_t>(denseNext.size() / (symbols ? symbols : 1)) + 1;
      const std::size_t row = denseNext.size();
      denseNext.resize(row + symbols, kNone);
      for (std::uint32_t e = node.edgeBegin; e < node.edgeBegin + node.edgeCount; ++e)
        denseNext[row + edges[e].symbol] = edges[e].node + 1;
    }
    denseNext.shrink_to_fit();
  }

  std::size_t nodeCount() const { return nodes.size(); }

  /// The symbol of `c` plus one, or 0 when no pattern has the letter.
  std::uint32_t symbolOf(char32_t c) const {
    const std::size_t page = c >> 8;
    if (page >= pageIndex.size() || pageIndex[page] == 0) return kNone;
    return symbolCells[((std::size_t{pageIndex[page]} - 1) << 8) | (c & 255)];
  }

  /// The child of `node` on `symbol` (a real symbol, not plus one) plus one, or 0.
  std::uint32_t next(std::uint32_t node, std::uint32_t symbol) const {
    const Node& record = nodes[node];
    if (record.dense != 0)
      return denseNext[(std::size_t{record.dense} - 1) * letters.size() + symbol];
    const Edge* edge = edges.data() + record.edgeBegin;
    const Edge* end = edge + record.edgeCount;
    for (; edge != end; ++edge)
      if (edge->symbol >= symbol) return edge->symbol == symbol ? edge->node + 1 : kNone;
    return kNone;
  }

  std::int64_t score(std::uint32_t node, std::uint32_t k) const {
    const std::size_t at = std::size_t{nodes[node].scoreStart} + k;
    return narrow ? digits[at] : wide[at];
  }
};

/// The flat form of a trie and the node that is its root: the trie's own for
/// a parsed trie, otherwise compiled on first use and kept with the trie.
struct FlatView {
  const FlatTrie* trie;
  std::uint32_t root;
};
FlatView flatOf(const Patterns& trie);

/// Scores the padded word given as symbols (each plus one, 0 for a code point
/// that no pattern has; `padded[0]` and `padded[m - 1]` are the boundary
/// markers). `result` needs room for `m + trie.maxScoreLength` entries;
/// returns the length of the full score list over the gaps of the padded word.
/// Only walks from the first `starts` positions are made: a caller that needs
/// no gap at or beyond some position p (and not the length) passes p.
std::size_t scorePadded(FlatView view, const std::uint32_t* padded, std::size_t m,
                        std::int64_t* result, std::size_t starts);

/// The same through the automaton of a whole parsed trie (`trie.automaton`),
/// whose scores are digits, into bytes: `result` needs room for
/// `m + trie.maxScoreLength` entries.
std::size_t scoreDigits(const FlatTrie& trie, const std::uint32_t* padded, std::size_t m,
                        std::uint8_t* result);

/// A character table and a trie's alphabet in one: the symbol (plus one, or
/// 0) of the normalised form of each code point, in the same two-level
/// layout as the alphabet.
struct SymbolFold {
  std::vector<std::uint32_t> pageIndex;
  std::vector<std::uint32_t> symbolCells;

  SymbolFold(const CharMap& chars, const FlatTrie& trie);

  std::uint32_t symbolOf(char32_t c) const {
    const std::size_t page = c >> 8;
    if (page >= pageIndex.size() || pageIndex[page] == 0) return FlatTrie::kNone;
    return symbolCells[((std::size_t{pageIndex[page]} - 1) << 8) | (c & 255)];
  }
};

/// A quick "certainly not" for exception lookups: a bit for each pair of a
/// key's first code point (modulo 64) and its length (capped at 63).
struct ExceptionFilter {
  std::uint64_t bits[64] = {};

  explicit ExceptionFilter(const Exceptions& exceptions) {
    for (const auto& entry : exceptions.map()) {
      const std::u32string& key = entry.first;
      if (key.empty()) continue;
      bits[key.front() & 63] |= std::uint64_t{1} << std::min<std::size_t>(key.size(), 63);
    }
  }
  /// False only when no key of this length starts with this code point.
  bool mayHold(char32_t first, std::size_t length) const {
    return (bits[first & 63] >> std::min<std::size_t>(length, 63)) & 1;
  }
};

/// parsePatterns straight from UTF-8 bytes, decoded as the loader decodes.
Patterns parsePatternsUtf8(std::string_view bytes);

}  // namespace hyph::detail
