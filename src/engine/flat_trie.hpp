// The flat form of a pattern trie, laid out for lookup: nodes are integers,
// each node's children a sorted run of (symbol, node) in two arrays, and every
// code point that occurs in some pattern is renumbered as a small symbol.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "hyph/charmap.hpp"
#include "hyph/deferred.hpp"
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

  // A parsed trie is a tree numbered breadth first, so the children of a
  // node have consecutive numbers, in symbol order. Its node v is a record
  // of `recordWords` 64-bit words from cells[v * recordWords]: the number of
  // its first child in the low half of the first word (its link to the
  // automaton's fail state, see below, in the high half), then a bitmap of
  // the symbols it has children on. The child on symbol s is the first child
  // plus the number of set bits below s: one load per step of a lookup.
  // Scores are in node order: node v's are
  // digits[scoreStarts[v], scoreStarts[v + 1]).
  static constexpr std::size_t kMaxRecordWords = 9;  // alphabets of up to 512 symbols
  std::uint32_t recordWords = 0;                     // 0: the trie uses the general form below
  std::vector<std::uint64_t> cells;
  std::vector<std::uint32_t> scoreStarts;

  // The general form, for tries whose subtries may be shared (compiled from
  // linked nodes) and for very large alphabets: each node's children a
  // sorted run of edges, and a dense row for a node with many of them.
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

  // For a parsed trie, an Aho-Corasick automaton over it, so that a lookup is
  // one pass over the word instead of a walk from every position. The fail
  // state of v is the node of the longest proper suffix of v's path that is
  // also a path. The fail states that steps which miss a child land on most
  // (those near the root, and those many states fail to) have a resolved
  // row: the next state for every symbol, fail states followed. The high
  // half of v's first word, its link, is where its fail state's row starts
  // in `resolved` (the row at 0 holds only kUnresolved), or kFailLink plus
  // the fail state when that has none. So a step needs no branch on whether
  // v has the child: both answers are loaded at once.
  //
  // The output of v is the pointwise maximum of the scores of v and of
  // every node on its fail chain but the root, all of which end at the gap
  // after v's last letter: a window of kWindow scores whose last entry is
  // that gap. Languages have only a few thousand distinct outputs, so each
  // is stored once: v's is windows[n * kWindow, + kWindow) for its output
  // number n, and reaches[n] tells whether any of its lists has an entry for
  // that last gap (output 0 is the empty one). Where a record's one bitmap word has room, the top
  // kOutputBits of it hold v's output number, which a lookup then finds in
  // the record it has just loaded; otherwise `outputs` holds the numbers.
  static constexpr std::size_t kWindow = 32;
  static constexpr unsigned kOutputBits = 16;
  static constexpr std::size_t kPackedSymbols = 64 - kOutputBits;
  static constexpr std::uint64_t kSymbolBits = (std::uint64_t{1} << kPackedSymbols) - 1;
  bool automaton = false;
  bool packedOutputs = false;
  bool hardwarePopcount = false;  // the lookup may use the popcnt instruction
  std::vector<std::uint16_t> outputs;
  std::vector<std::uint8_t> windows;
  std::vector<std::uint8_t> reaches;
  static constexpr std::uint32_t kFailLink = std::uint32_t{1} << 31;
  static constexpr std::uint16_t kUnresolved = 0xFFFF;
  std::vector<std::uint16_t> resolved;  // rows of letters.size() states; empty: no rows

  /// Builds the automaton of a trie in the record form, unless some pattern
  /// is longer than kWindow - 1 letters, some score list longer than its
  /// letters plus one, or the outputs too many to number; lookups then walk
  /// from every position.
  void buildAutomaton();

  /// Gives nodes of the general form with more than a few children a dense
  /// row; call once the edges are in place.
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

  std::size_t nodeCount() const { return recordWords ? scoreStarts.size() - 1 : nodes.size(); }

  /// The symbol of `c` plus one, or 0 when no pattern has the letter.
  std::uint32_t symbolOf(char32_t c) const {
    const std::size_t page = c >> 8;
    if (page >= pageIndex.size() || pageIndex[page] == 0) return kNone;
    return symbolCells[((std::size_t{pageIndex[page]} - 1) << 8) | (c & 255)];
  }

  const std::uint64_t* record(std::uint32_t node) const {
    return cells.data() + std::size_t{node} * recordWords;
  }
  std::uint32_t linkOf(std::uint32_t node) const {
    return static_cast<std::uint32_t>(record(node)[0] >> 32);
  }
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
    const auto first = static_cast<std::uint32_t>(r[0]);
    std::uint32_t skip = i;
    for (std::uint32_t w = 0; w + 1 < recordWords; ++w) {
      std::uint64_t bits = bitmap(r, w);
      const auto count = static_cast<std::uint32_t>(std::popcount(bits));
      if (skip >= count) {
        skip -= count;
        continue;
      }
      for (; skip > 0; --skip) bits &= bits - 1;
      return {w * 64 + static_cast<std::uint32_t>(std::countr_zero(bits)), first + i};
    }
    return {kNone, kNone};  // not reached for a valid i
  }

  /// The child of `node` on `symbol` (a real symbol, not plus one) plus one, or 0.
  std::uint32_t next(std::uint32_t node, std::uint32_t symbol) const {
    if (recordWords) {
      const std::uint64_t* r = record(node);
      const std::uint32_t w = symbol >> 6;
      // An output number packed above the symbols' bits is never counted:
      // only bits below the symbol are.
      const std::uint64_t bits = r[w + 1];
      if (((bits >> (symbol & 63)) & 1) == 0) return kNone;
      auto rank = static_cast<std::uint32_t>(
          std::popcount(bits & ((std::uint64_t{1} << (symbol & 63)) - 1)));
      for (std::uint32_t k = 0; k < w; ++k)
        rank += static_cast<std::uint32_t>(std::popcount(r[k + 1]));
      return static_cast<std::uint32_t>(r[0]) + rank + 1;
    }
    const Node& record = nodes[node];
    if (record.dense != 0)
      return denseNext[(std::size_t{record.dense} - 1) * letters.size() + symbol];
    const Edge* edge = edges.data() + record.edgeBegin;
    const Edge* end = edge + record.edgeCount;
    for (; edge != end; ++edge)
      if (edge->symbol >= symbol) return edge->symbol == symbol ? edge->node + 1 : kNone;
    return kNone;
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
/// `digitsRoom(trie, m)` entries, and the list starts at
/// `result + FlatTrie::kWindow - 1`.
std::size_t scoreDigits(const FlatTrie& trie, const std::uint32_t* padded, std::size_t m,
                        std::uint8_t* result);
/// For a padded word of at most kShortWord symbols, through the automaton
/// of a parsed trie whose root has no scores: bit g of the result is the low
/// bit of the score of gap g (gap 0 before the first symbol).
constexpr std::size_t kShortWord = 30;
std::uint32_t oddGaps(const FlatTrie& trie, const std::uint32_t* padded, std::size_t m);

inline std::size_t digitsRoom(const FlatTrie& trie, std::size_t m) {
  return FlatTrie::kWindow + m + 1 + trie.maxScoreLength;
}

/// A character table and a trie's alphabet in one: the symbol (plus one, or
/// 0) of the normalised form of each code point, in the same two-level
/// layout as the alphabet.
struct SymbolFold {
  std::vector<std::uint32_t> pageIndex;
  std::vector<std::uint32_t> symbolCells;

  SymbolFold(const CharMap& chars, const FlatTrie& trie);

  /// The symbols of the code points below 128: page 0 is always there.
  const std::uint32_t* ascii() const { return symbolCells.data() + ((pageIndex[0] - 1) << 8); }

  std::uint32_t symbolOf(char32_t c) const {
    const std::size_t page = c >> 8;
    if (page >= pageIndex.size() || pageIndex[page] == 0) return FlatTrie::kNone;
    return symbolCells[((std::size_t{pageIndex[page]} - 1) << 8) | (c & 255)];
  }
};

/// A quick "certainly not" for exception lookups: a bit for each key's
/// first code point, last code point and length, hashed into 4096. The code
/// points may be taken through a mapping (to pattern symbols, say), as long
/// as words are looked up through the same one.
struct ExceptionFilter {
  std::uint64_t bits[64] = {};

  template <class Map = std::identity>
  explicit ExceptionFilter(const Exceptions& exceptions, Map map = {}) {
    for (const auto& entry : exceptions.map()) {
      const std::u32string& key = entry.first;
      if (key.empty()) continue;
      const std::size_t bit = bitOf(map(key.front()), map(key.back()), key.size());
      bits[bit >> 6] |= std::uint64_t{1} << (bit & 63);
    }
  }
  /// False only when no key of this length starts and ends with these code
  /// points.
  bool mayHold(char32_t first, char32_t last, std::size_t length) const {
    const std::size_t bit = bitOf(first, last, length);
    return (bits[bit >> 6] >> (bit & 63)) & 1;
  }

 private:
  static std::size_t bitOf(char32_t first, char32_t last, std::size_t length) {
    const std::uint64_t key = (std::uint64_t{first} << 40) ^ (std::uint64_t{last} << 16) ^ length;
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 52);
  }
};

/// What a word of a Hyphenator with a character table looks up, gathered
/// once: the tables (built first, in this order: characters, exceptions,
/// patterns), the fold of the table with the patterns' alphabet, and the
/// exception filter. Patterns that fail to build fail only the words that
/// need them: an exception needs none.
struct Lookups {
  Lookups(const CharMap& chars, const Exceptions& exceptions, const Deferred<Patterns>& patterns)
      : chars(&chars),
        exceptions(exceptions.map().empty() ? nullptr : &exceptions),
        filter(exceptions) {
    try {
      this->patterns = flatOf(patterns.get());
      const FlatTrie& trie = *this->patterns.trie;
      fold.emplace(chars, trie);
      symbolFilter.emplace(exceptions, [&trie](char32_t c) { return trie.symbolOf(c); });
      dot = trie.symbolOf(U'.');
    } catch (...) {
      patternsError = std::current_exception();
    }
  }

  /// The patterns, or their build's error.
  FlatView scoring() const {
    if (patternsError) std::rethrow_exception(patternsError);
    return patterns;
  }

  const CharMap* chars;
  const Exceptions* exceptions;  // nullptr when there are none
  ExceptionFilter filter;
  FlatView patterns{nullptr, 0};
  // With the patterns: the fold, the filter on the symbols of the keys'
  // first and last letters, and the symbol of the word boundary.
  std::optional<SymbolFold> fold;
  std::optional<ExceptionFilter> symbolFilter;
  std::uint32_t dot = FlatTrie::kNone;
  std::exception_ptr patternsError;
};

/// parsePatterns straight from UTF-8 bytes, decoded as the loader decodes.
Patterns parsePatternsUtf8(std::string_view bytes);

}  // namespace hyph::detail
