// Everything a Hyphenator looks a word up in, in the one form that its road
// from a word to its breaks reads: the mapping folded with the patterns'
// alphabet, the trie's automaton, the exception table and its filter. The
// arrays are views: of a built-in language's constant data, or of tables
// built at run time from a caller's values, which `owner` keeps alive.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <span>

#include "exception_table.hpp"
#include "levels.hpp"
#include "hyph/char_table.hpp"
#include "hyph/deferred.hpp"
#include "hyph/hyphenator.hpp"
#include "trie/flat_trie.hpp"
#include "trie/lookup.hpp"

namespace hyph::detail {

/// A character table and a trie's alphabet in one: the symbol code of the
/// normalised form of each code point.
struct FoldView {
  PageTableView<SymbolCode> pages;         // up to U+10FFFF; page 0 is always there
  std::span<const std::uint64_t> outside;  // (code point, code) pairs past it, ascending

  SymbolCode operator()(char32_t c) const { return c <= 0x10FFFF ? pages[c] : outsideCode(c); }
  /// The codes of the code points below 256.
  const SymbolCode* firstPage() const { return pages.page(0); }

 private:
  SymbolCode outsideCode(char32_t c) const;
};

struct WordTables {
  // The mapping: a table, folded with the alphabet, or else the caller's
  // function, whose results are looked up in the alphabet.
  std::optional<CharTable> chars;
  FoldView fold;
  const CharMapping* mapping = nullptr;
  PageTableView<SymbolCode> alphabet;

  // The patterns: an automaton, or a walk; or the error of their build,
  // which fails the words that need them (an exception needs none).
  TrieView trie;
  bool automaton = false;
  FlatView walk{nullptr, 0};
  SymbolCode boundary = kNoSymbol;  // the code of "."
  std::exception_ptr patternsError;

  // The exceptions, and the filter over the codes of their keys' first and
  // last letters and their lengths (empty: every word may be one).
  ExceptionTableView exceptions;
  std::span<const std::uint64_t> filter;

  std::shared_ptr<const void> owner;

  // A compound level above the patterns (a libhyphen dictionary's), which
  // words without an exception are broken by instead; null for a language.
  std::shared_ptr<const CompoundLevel> levels;
  // Whether words without an exception leave the patterns' road: for a
  // compound level, or the patterns' error. One test where the road forks.
  bool offRoad = false;

  Scorer scorer() const { return {automaton ? &trie : nullptr, walk}; }
  /// The normalised form of a code point.
  char32_t normalise(char32_t c) const { return chars ? (*chars)(c) : (*mapping)(c); }
  /// The symbol code of a code point's normalised form.
  SymbolCode symbolOf(char32_t c) const { return chars ? fold(c) : alphabet[(*mapping)(c)]; }
};

/// The patterns of a WordTables: a trie's automaton or walk, its alphabet,
/// and what keeps them alive.
struct TriePart {
  TrieView trie;
  bool automaton = false;
  FlatView walk{nullptr, 0};
  std::span<const char32_t> letters;                   // symbol -> code point
  const PageTableView<SymbolCode>* symbols = nullptr;  // the alphabet's map, where there is one
  std::shared_ptr<const void> owner;
  std::exception_ptr error;

  /// The trie of `patterns`, built first; the build's error is kept.
  static TriePart of(const Deferred<Patterns>& patterns);
  /// The trie of another WordTables (a built-in language's).
  static TriePart of(const std::shared_ptr<const WordTables>& tables);
};

/// The exceptions of a WordTables, and what keeps them alive.
struct ExceptionsPart {
  ExceptionTableView table;
  std::shared_ptr<const void> owner;

  static ExceptionsPart of(const Exceptions& exceptions);
  static ExceptionsPart of(const std::shared_ptr<const WordTables>& tables);
};

/// WordTables of a mapping (a table, or else `mapping`, which must outlive
/// them), patterns and exceptions: the fold, the filter and the boundary
/// worked out from them.
std::shared_ptr<const WordTables> assembleWordTables(std::optional<CharTable> chars,
                                                     const CharMapping* mapping, TriePart trie,
                                                     ExceptionsPart exceptions,
                                                     std::shared_ptr<const CompoundLevel> levels = nullptr);

}  // namespace hyph::detail
