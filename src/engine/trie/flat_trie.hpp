// The flat form of a pattern trie: its layout, laid out for lookup.
//
// Every code point that occurs in some pattern is renumbered as a small
// symbol, in ascending code point order; a word is looked up as symbol codes
// (SymbolCode: the symbol plus one), which keep 0 for a code point that no
// pattern has.
//
// A trie parsed from pattern text is a double array: every node is a slot of
// one array, the root slot 0, and the child of node v on code c is slot
// base(v) + c, provided that slot's check is c. No two nodes with children
// share a base, so a slot can be the child of only one node; the nodes are
// placed first fit in breadth-first order, which leaves few slots free. A
// step of a lookup is then one load and one comparison. A slot also holds
// the node's Aho-Corasick automaton: its link, which resolves a step that
// finds no child (the row of resolved steps of the fail state, or the fail
// state itself), and its output (what the patterns that end there score).
//
// A slot is one 64-bit word (CompactSlot) when the trie is small enough, else
// two (WideSlot). A trie compiled from linked nodes, whose subtries may be
// shared, takes the general form instead: each node's children a sorted run
// of edges, walked from every position of a word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "hyph/detail/page_table.hpp"

namespace hyph::detail {

/// Whether tries too large for one-word slots are read and built. The
/// WebAssembly module, whose languages all fit one word a slot, leaves that
/// code out (HYPH_WIDE_SLOTS=OFF) and refuses such tables.
#if defined(HYPH_NO_WIDE_SLOTS)
inline constexpr bool kWideSlots = false;
#else
inline constexpr bool kWideSlots = true;
#endif

/// The refusal of tables that need two words a slot, in a build without
/// them.
[[noreturn]] void refuseWideSlots();

/// A symbol plus one; kNoSymbol for a code point that no pattern has.
using SymbolCode = std::uint32_t;
inline constexpr SymbolCode kNoSymbol = 0;

/// A slot in one word: check (the code that leads to it, 0 for a free slot
/// and the root), output number, base, and link, whose top bit says that
/// the rest numbers a row rather than a fail slot.
struct CompactSlot {
  using Word = std::uint64_t;
  static constexpr unsigned kWords = 1;
  // 9 bits of check, 14 of output, 20 of base and 21 of link: a million
  // slots (a dictionary's compound level of 69,000 words takes 282,000),
  // against outputs that no language's tables come near (3,484 at most).
  static constexpr unsigned kOutputShift = 9, kBaseShift = 23, kLinkShift = 43;
  static constexpr std::uint64_t kCheckMask = (1u << 9) - 1;
  static constexpr std::uint64_t kOutputMask = (1u << 14) - 1;
  static constexpr std::uint64_t kBaseMask = (1u << 20) - 1;
  static constexpr std::uint32_t kRowFlag = 1u << 20;
  static constexpr std::uint32_t kMaxSymbols = 511;     // codes 1 to 511
  static constexpr std::uint32_t kMaxSlots = 1u << 20;  // fail slots fit beside the flag
  static constexpr std::uint32_t kMaxOutputs = 1u << 14;

  // By value, so that the slot in hand stays in a register.
  static std::uint32_t check(Word slot) { return static_cast<std::uint32_t>(slot & kCheckMask); }
  static std::uint32_t output(Word slot) {
    return static_cast<std::uint32_t>((slot >> kOutputShift) & kOutputMask);
  }
  static std::uint32_t base(Word slot) {
    return static_cast<std::uint32_t>((slot >> kBaseShift) & kBaseMask);
  }
  static std::uint32_t link(Word slot) { return static_cast<std::uint32_t>(slot >> kLinkShift); }
  static std::uint32_t check(const Word* slot) { return check(*slot); }
  static std::uint32_t output(const Word* slot) { return output(*slot); }
  static std::uint32_t base(const Word* slot) { return base(*slot); }
  static std::uint32_t link(const Word* slot) { return link(*slot); }
  static void set(Word* slot, std::uint32_t check, std::uint32_t output, std::uint32_t base,
                  std::uint32_t link) {
    slot[0] = check | (std::uint64_t{output} << kOutputShift) |
              (std::uint64_t{base} << kBaseShift) | (std::uint64_t{link} << kLinkShift);
  }
};

/// A slot in two words: check and output, then base and link.
struct WideSlot {
  using Word = std::uint64_t;
  static constexpr unsigned kWords = 2;
  static constexpr std::uint32_t kRowFlag = 1u << 31;
  static constexpr std::uint32_t kMaxSymbols = (1u << 31) - 1;
  static constexpr std::uint32_t kMaxSlots = 1u << 31;
  static constexpr std::uint32_t kMaxOutputs = ~std::uint32_t{0};

  static std::uint32_t check(const Word* slot) { return static_cast<std::uint32_t>(slot[0]); }
  static std::uint32_t output(const Word* slot) {
    return static_cast<std::uint32_t>(slot[0] >> 32);
  }
  static std::uint32_t base(const Word* slot) { return static_cast<std::uint32_t>(slot[1]); }
  static std::uint32_t link(const Word* slot) { return static_cast<std::uint32_t>(slot[1] >> 32); }
  static void set(Word* slot, std::uint32_t check, std::uint32_t output, std::uint32_t base,
                  std::uint32_t link) {
    slot[0] = check | (std::uint64_t{output} << 32);
    slot[1] = base | (std::uint64_t{link} << 32);
  }
};

/// What a lookup of a whole word reads of a parsed trie: the double array
/// and its automaton. It views arrays that live elsewhere: in a FlatTrie, or
/// in the constant data of a built-in language.
struct TrieView {
  /// How the automaton knows what a state scores. Windows: each output is
  /// the window of the `window` gaps (16 or 32) that end after the state's
  /// last letter, the patterns of its whole fail chain merged in; output 0
  /// scores nothing; every pattern's scores, leading zeros aside, fit a window.
  /// Merged, for tries with patterns of kLongestWindow letters or more: each
  /// state with scores of its own has its merged list over all its gaps, as
  /// its length and runs of equal non-zero scores (three words a run: first
  /// gap, length, score; the first run, of score 0, gives the length), and
  /// every state's output is the nearest such state on its fail chain,
  /// itself included, plus one (0 for none).
  enum class Scoring : std::uint8_t { Windows, Merged };
  static constexpr std::size_t kLongestWindow = 32;
  static constexpr std::uint32_t kNoState = ~std::uint32_t{0};

  bool wide = false;  // WideSlot rather than CompactSlot
  Scoring scoring = Scoring::Windows;
  std::uint32_t window = 0;       // Windows: the gaps a window scores, 16 or 32
  std::uint32_t symbolCount = 0;  // codes 1 to symbolCount
  std::uint32_t reach = 0;        // how far past the padded word scores can reach

  std::span<const std::uint64_t> slots;
  // Row r: for each code, a copy of the slot of the state that a step on
  // that code leads to from the r-th fail state that has a row, so that a
  // step loads the child's slot and the row's copy at once.
  std::span<const std::uint64_t> rows;
  std::span<const std::uint8_t> rootScores;  // scored at every position
  std::span<const char32_t> letters;         // symbol -> code point

  // Windows
  std::span<const std::uint8_t> windows;  // `window` scores an output
  std::span<const std::uint8_t> reaches;  // by output: whether it scores its last gap
  // Merged
  std::span<const std::uint32_t> mergedStarts;  // by slot: its runs, [start, next start)
  std::span<const std::uint32_t> mergedRuns;
  std::span<const std::uint32_t> depths;  // by slot: the length of its path

  std::size_t slotWords() const { return wide ? 2 : 1; }
};

/// A trie in flat form, owning its arrays: the double array of a parsed trie
/// with its automaton, or the general form of a compiled one. Built once,
/// then only read.
struct FlatTrie {
  static constexpr std::uint32_t kNoChild = ~std::uint32_t{0};
  static constexpr std::uint32_t kNoRow = ~std::uint32_t{0};

  FlatTrie() = default;
  FlatTrie(const FlatTrie&) = delete;
  FlatTrie& operator=(const FlatTrie&) = delete;

  // --- The alphabet ------------------------------------------------------
  PageTableBuilder<SymbolCode> symbolTable;  // code point -> its symbol code
  PageTableView<SymbolCode> symbols;         // its view, once buildAlphabet() ran
  std::vector<char32_t> letters;             // symbol -> code point, ascending

  SymbolCode symbolOf(char32_t c) const { return symbols[c]; }
  /// Fills the symbols of `letters`.
  void buildAlphabet();

  // --- The double array (parsed tries) -------------------------------------
  bool doubleArray = false;
  bool wide = false;
  std::vector<std::uint64_t> slots;  // slotCount * (wide ? 2 : 1) words
  std::uint32_t slotCount = 0;
  std::vector<std::uint32_t> scoreStarts;  // by slot: own scores [start, next start)

  // --- The general form (compiled tries) -----------------------------------
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
  // else in `wideScores`.
  std::vector<std::uint8_t> digits;
  std::vector<std::int64_t> wideScores;
  bool narrow = true;
  std::uint32_t maxScoreLength = 0;

  // --- The automaton (the double array, narrow scores) ---------------------
  /// How positions are scored: by every pattern that ends there (Liang's
  /// rule, each state's output merged with its fail chain's), or by the
  /// one state the automaton is in there, its own pattern alone (libhyphen's
  /// rule, which its dictionaries are written for). Set before
  /// buildAutomaton.
  enum class Matching : std::uint8_t { Every, Longest };
  Matching matching = Matching::Every;
  bool automaton = false;
  TrieView::Scoring scoring = TrieView::Scoring::Windows;
  std::uint32_t window = 0;
  std::uint32_t reach = 0;
  std::vector<std::uint64_t> rows;
  std::vector<std::uint8_t> windows, reaches;
  std::vector<std::uint32_t> mergedStarts, mergedRuns, depths;

  /// Builds the automaton of a double array, given its nodes' slots in
  /// breadth-first order and each slot's parent: the window outputs where
  /// every pattern is shorter than a window, else the merged lists, where
  /// they fit in memory; otherwise (patterns outside the notation, whose
  /// merged lists would take too much) lookups walk.
  void buildAutomaton(std::span<const std::uint32_t> order, std::vector<std::uint32_t> parents);
  /// The automaton's arrays, for lookup.
  TrieView view() const;

  // --- Structure, for the Patterns interface and walks ----------------------
  std::size_t nodeCount() const { return doubleArray ? slotCount : nodes.size(); }
  const std::uint64_t* slot(std::uint32_t v) const {
    return slots.data() + std::size_t{v} * (wide ? 2 : 1);
  }
  std::uint32_t checkOf(std::uint32_t v) const {
    return wide ? WideSlot::check(slot(v)) : CompactSlot::check(slot(v));
  }
  std::uint32_t baseOf(std::uint32_t v) const {
    return wide ? WideSlot::base(slot(v)) : CompactSlot::base(slot(v));
  }
  /// The child of `node` on `symbol` (a symbol, not its code), or kNoChild.
  std::uint32_t next(std::uint32_t node, std::uint32_t symbol) const;
  std::uint32_t childCount(std::uint32_t node) const;
  /// The i-th child of `node` in symbol order, 0 <= i < childCount(node).
  Edge childAt(std::uint32_t node, std::uint32_t i) const;

  std::size_t scoreStart(std::uint32_t node) const {
    return doubleArray ? scoreStarts[node] : nodes[node].scoreStart;
  }
  std::uint32_t scoreLength(std::uint32_t node) const {
    return doubleArray ? scoreStarts[node + 1] - scoreStarts[node] : nodes[node].scoreLength;
  }
  std::int64_t score(std::uint32_t node, std::uint32_t k) const {
    const std::size_t at = scoreStart(node) + k;
    return narrow ? digits[at] : wideScores[at];
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
