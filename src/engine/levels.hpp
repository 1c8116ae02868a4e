// Two levels of patterns, the model of libhyphen's dictionaries: a compound
// level finds where a word falls into parts (at a hyphen or an apostrophe,
// or where its patterns join words), and the word level's patterns break
// each part; a word without parts is broken by the word level alone. The
// parts' own minimums keep breaks away from the joins, the word's from its
// ends, and a list of strings keeps breaks away from each of them.
//
// The rules follow libhyphen 2.8.8 to the letter, since the dictionaries were
// written and tested against it: each position is scored by the automaton's
// state there alone (FlatTrie::Matching::Longest), and lengths that it
// counts in bytes of the dictionary's encoding are counted so here too.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace hyph::detail {

struct WordTables;

struct CompoundLevel {
  /// The compound level's patterns (its mapping unused: letters come to it
  /// normalised by the word level's).
  std::shared_ptr<const WordTables> compound;
  /// No break next to any of these (normalised, as words are).
  std::vector<std::u32string> noHyphen;
  /// The dictionary's minimums for a whole word (0: none given; the larger
  /// of these and the Hyphenator's apply, 2 where both are 0) and for the
  /// sides of a part where it joins another.
  std::int64_t left = 0, right = 0;
  std::int64_t compoundLeft = 0, compoundRight = 0;
  /// Whether the dictionary is UTF-8 (else one byte a letter).
  bool utf8 = false;
};

/// The breaks of a word: breaks[k] is set when a break may follow letter k.
/// `original` holds the word's letters as given, `normalised` the same
/// mapped by the word level's mapping; left and right are the Hyphenator's
/// minimums.
void levelBreaks(const WordTables& word, const CompoundLevel& levels,
                 std::span<const char32_t> original, std::span<const char32_t> normalised,
                 std::int64_t left, std::int64_t right, std::span<std::uint8_t> breaks);

}  // namespace hyph::detail
