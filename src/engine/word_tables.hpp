// What a word of a Hyphenator with a character table looks up, gathered once
// per Hyphenator: the tables, the character table folded with the patterns'
// alphabet, and a filter that lets most words skip the exception dictionary.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>

#include "hyph/char_table.hpp"
#include "hyph/deferred.hpp"
#include "hyph/exceptions.hpp"
#include "hyph/pattern.hpp"
#include "trie/flat_trie.hpp"

namespace hyph::detail {

/// A character table and a trie's alphabet in one: the symbol code of the
/// normalised form of each code point up to U+10FFFF.
struct SymbolFold {
  PageTable<SymbolCode> codes;

  SymbolFold(const CharTable& chars, const FlatTrie& trie);

  /// The codes of the code points below 128: their page is always there.
  const SymbolCode* ascii() const { return codes.page(0); }
  SymbolCode symbolOf(char32_t c) const { return codes[c]; }
};

/// A quick "certainly not" for exception lookups: a bit for each key's
/// first code point, last code point and length, hashed into 4096. The code
/// points may be taken through a mapping (to symbol codes, say), as long as
/// words are looked up through the same one.
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

/// The tables (built first, in this order: characters, exceptions,
/// patterns), the fold and the exception filters. Patterns that fail to
/// build fail only the words that need them: an exception needs none.
struct WordTables {
  WordTables(const CharTable& chars, const Exceptions& exceptions, const Deferred<Patterns>& patterns);

  /// The patterns, or their build's error.
  FlatView scoring() const {
    if (patternsError) std::rethrow_exception(patternsError);
    return patterns;
  }

  const CharTable* chars;
  const Exceptions* exceptions;  // nullptr when there are none
  ExceptionFilter filter;
  FlatView patterns{nullptr, 0};
  // With the patterns: the fold, the filter on the symbol codes of the keys'
  // first and last letters, and the code of the word boundary.
  std::optional<SymbolFold> fold;
  std::optional<ExceptionFilter> symbolFilter;
  SymbolCode boundary = kNoSymbol;
  std::exception_ptr patternsError;
};

}  // namespace hyph::detail
