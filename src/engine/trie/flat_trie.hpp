// The flat form of a pattern trie: its layout, laid out for lookup.
//
// Nodes are integers. Every code point that occurs in some pattern is
// renumbered as a small symbol, in ascending code point order; a word is
// looked up as symbol codes (SymbolCode), which keep 0 free for a code point
// that no pattern has.
//
// A trie parsed from pattern text takes the record form: a tree numbered
// breadth first, so that the children of a node have consecutive numbers in
// symbol order, and node v is a record of `recordWords` 64-bit words: the
// number of its first child and its link (kFirstChildMask, kLinkShift), then
// a bitmap of the symbols it has children on. The child on symbol s is the
// first child plus the number of set bits below s, so a step of a lookup is
// one load. A trie compiled from linked nodes, whose subtries may be shared,
// and a parsed trie of more than kMaxRecordSymbols symbols take the general
// form: each node's children a sorted run of edges, with a dense row for a
// node with many of them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hyph/detail/page_table.hpp"

namespace hyph::detail {

/// A symbol plus one; kNoSymbol for a code point that no pattern has.
using SymbolCode = std::uint32_t;
inline constexpr SymbolCode kNoSymbol = 0;

struct FlatTrie {
  static constexpr std::uint32_t kNoChild = ~std::uint32_t{0};
  static constexpr std::uint32_t kNoRow = ~std::uint32_t{0};

  PageTable<SymbolCode> symbols;  // code point -> its symbol code
  std::vector<char32_t> letters;  // symbol -> code point

  SymbolCode symbolOf(char32_t c) const { return symbols[c]; }

  // --- The record form ---------------------------------------------------
  static constexpr std::size_t kMaxRecordWords = 9;
  static constexpr std::size_t kMaxRecordSymbols = (kMaxRecordWords - 1) * 64;
  static constexpr std::uint64_t kFirstChildMask = 0xFFFFFFFFu;
  static constexpr unsigned kLinkShift = 32;
  std::uint32_t recordWords = 0;  // 0: the general form
  std::vector<std::uint64_t> cells;
  std::vector<std::uint32_t> scoreStarts;  // node v's scores: [scoreStarts[v], scoreStarts[v + 1])

  // --- The general form --------------------------------------------------
  struct Edge {
    std::uint32_t symbol;
    std::uint32_t node;
  };
  struct Node {
    std::uint32_t edgeBegin;  // its children: edges[edgeBegin, + edgeCount), by symbol
    std::uint32_t edgeCount;
    std::uint32_t scoreStart;
    std::uint32_t scoreLength;
    std::uint32_t dense = kNoRow;  // a node with many children: its row in denseNext
  };
  std::vector<Node> nodes;
  std::vector<Edge> edges;
  std::vector<std::uint32_t> denseNext;  // rows of letters.size() children (or kNoChild)

  // --- Scores ------------------------------------------------------------
  // In `digits` when every score fits a byte (always so for parsed text),
  // else in `wide`.
  std::vector<std::uint8_t> digits;
  std::vector<std::int64_t> wide;
  bool narrow = true;
  std::uint32_t maxScoreLength = 0;

  // --- The automaton -------------------------------------------------------
  // For a parsed trie in the record form, an Aho-Corasick automaton, so that
  // a lookup is one pass over the word. The fail state of v is the node of
  // the longest proper suffix of v's path that is also a path. A link is
  // where the fail state's resolved row starts in `resolved` (the next state
  // for every symbol, fail states followed), or kFailLink | the fail state
  // for one without a row; row 0 holds only kUnresolved. So a step loads
  // both answers at once and needs no branch on whether v has the child.
  //
  // The output of v is the pointwise maximum of the scores of v and of every
  // node on its fail chain but the root: all end at the gap after v's last
  // letter, so they fit a window of kWindow scores ending there. Outputs are
  // few, so each is stored once, windows[number * kWindow, + kWindow), and
  // reaches[number] says whether any of its lists scores that last gap. With
  // one bitmap word of at most kPackedSymbols symbols, v's output number is
  // in the word's top kOutputBits; otherwise in `outputs`.
  static constexpr std::size_t kWindow = 32;
  static constexpr unsigned kOutputBits = 16;
  static constexpr std::size_t kPackedSymbols = 64 - kOutputBits;
  static constexpr std::uint64_t kSymbolBits = (std::uint64_t{1} << kPackedSymbols) - 1;
  static constexpr std::uint32_t kFailLink = std::uint32_t{1} << 31;
  static constexpr std::uint16_t kUnresolved = 0xFFFF;
  bool automaton = false;
  bool packedOutputs = false;
  bool hardwarePopcount = false;  // the lookup may use the popcnt instruction
  std::vector<std::uint16_t> outputs;
  std::vector<std::uint8_t> windows;
  std::vector<std::uint8_t> reaches;
  std::vector<std::uint16_t> resolved;  // rows of letters.size() states; empty: none

  // --- The sparse automaton ----------------------------------------------
  // For a parsed trie that the form above does not fit (a pattern of
  // kWindow letters or more, a score list that runs past its letters, more
  // outputs than 16 bits number): the same fail states, all kept as links;
  // each state's own scores as runs of equal non-zero digits; and its
  // output link, the nearest state on its fail chain that has scores. A
  // lookup then costs a step per code plus one per run of each match,
  // whatever the patterns' lengths.
  struct Run {
    std::uint32_t offset;  // from the gap before the pattern's first letter
    std::uint32_t length;
    std::uint8_t value;
  };
  static constexpr std::uint32_t kNoState = ~std::uint32_t{0};
  bool sparse = false;
  std::vector<std::uint32_t> runStarts;  // node v's runs: runs[runStarts[v], runStarts[v + 1])
  std::vector<Run> runs;
  std::vector<std::uint32_t> outputLinks;  // kNoState for none
  std::vector<std::uint32_t> depths;

  /// Builds the automaton of a trie in the record form: the dense one where
  /// it fits, else the sparse one. Tries in the general form are walked.
  void buildAutomaton();

  std::size_t nodeCount() const { return recordWords ? scoreStarts.size() - 1 : nodes.size(); }

  const std::uint64_t* record(std::uint32_t node) const {
    return cells.data() + std::size_t{node} * recordWords;
  }
  static std::uint32_t firstChildOf(std::uint64_t head) {
    return static_cast<std::uint32_t>(head & kFirstChildMask);
  }
  static std::uint32_t linkOf(std::uint64_t head) {
    return static_cast<std::uint32_t>(head >> kLinkShift);
  }
  std::uint32_t linkOf(std::uint32_t node) const { return linkOf(record(node)[0]); }
  /// Word w of the node's bitmap, without the output number packed into it.
  std::uint64_t bitmap(const std::uint64_t* record, std::uint32_t w) const {
    return packedOutputs ? record[1] & kSymbolBits : record[w + 1];
  }

  std::uint32_t childCount(std::uint32_t node) const {
    if (!recordWords) return nodes[node].edgeCount;
    const std::uint64_t* r = record(node);
    std::uint32_t count = 0;
    for (std::uint32_t w = 0; w + 1 < recordWords; ++w)
      count += static_cast<std::uint32_t>(std::popcount(bitmap(r, w)));
    return count;
  }

  /// The i-th child of `node`, 0 <= i < childCount(node).
  Edge childAt(std::uint32_t node, std::uint32_t i) const {
    if (!recordWords) return edges[nodes[node].edgeBegin + i];
    const std::uint64_t* r = record(node);
    std::uint32_t skip = i;
    for (std::uint32_t w = 0; w + 1 < recordWords; ++w) {
      std::uint64_t bits = bitmap(r, w);
      const auto count = static_cast<std::uint32_t>(std::popcount(bits));
      if (skip >= count) {
        skip -= count;
        continue;
      }
      for (; skip > 0; --skip) bits &= bits - 1;
      return {w * 64 + static_cast<std::uint32_t>(std::countr_zero(bits)), firstChildOf(r[0]) + i};
    }
    return {kNoChild, kNoChild};  // not reached for a valid i
  }

  /// The child of `node` on `symbol` (a symbol, not its code), or kNoChild.
  std::uint32_t next(std::uint32_t node, std::uint32_t symbol) const {
    if (recordWords) {
      const std::uint64_t* r = record(node);
      const std::uint32_t w = symbol >> 6;
      // An output number packed above the symbols' bits is never counted:
      // only bits below the symbol are.
      const std::uint64_t bits = r[w + 1];
      if (((bits >> (symbol & 63)) & 1) == 0) return kNoChild;
      auto rank = static_cast<std::uint32_t>(
          std::popcount(bits & ((std::uint64_t{1} << (symbol & 63)) - 1)));
      for (std::uint32_t k = 0; k < w; ++k)
        rank += static_cast<std::uint32_t>(std::popcount(r[k + 1]));
      return firstChildOf(r[0]) + rank;
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

  std::size_t scoreStart(std::uint32_t node) const {
    return recordWords ? scoreStarts[node] : nodes[node].scoreStart;
  }
  std::uint32_t scoreLength(std::uint32_t node) const {
    return recordWords ? scoreStarts[node + 1] - scoreStarts[node] : nodes[node].scoreLength;
  }
  std::int64_t score(std::uint32_t node, std::uint32_t k) const {
    const std::size_t at = scoreStart(node) + k;
    return narrow ? digits[at] : wide[at];
  }

  /// Fills the symbols of `letters` (ascending).
  void buildAlphabet() {
    for (std::size_t symbol = 0; symbol < letters.size(); ++symbol)
      symbols.cell(letters[symbol]) = static_cast<SymbolCode>(symbol + 1);
  }

  /// Gives nodes of the general form with more than a few children a dense
  /// row; call once the edges are in place.
  void buildDenseRows();
};

/// The flat form of a trie and the node that is its root: the trie's own for
/// a parsed trie, otherwise compiled on first use and kept with the trie.
struct FlatView {
  const FlatTrie* trie;
  std::uint32_t root;
};

}  // namespace hyph::detail
