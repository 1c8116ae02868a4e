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

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "hyph/pattern.hpp"

namespace hyph::detail {

/// Whether words may be broken by compound levels. The WebAssembly build,
/// which reads no dictionary, leaves the code out of the road
/// (HYPH_DICTIONARIES=OFF).
#if defined(HYPH_NO_COMPOUND_LEVELS)
inline constexpr bool kCompoundLevels = false;
#else
inline constexpr bool kCompoundLevels = true;
#endif

struct WordTables;
class PaddedWord;

/// A non-standard rule's rewriting (libhyphen's "pattern/replacement,start,
/// cut"): where its odd score wins, `length` letters of the pattern from
/// letter `start` (a leading "." counted) are written `before`, then the
/// break, then `after`.
struct Rewrite {
  std::u32string before, after;
  std::uint32_t start = 0, length = 0;
  /// The same in capitals, for a word that has its rewritten letters in
  /// capitals (the first letter of `beforeCapitals` for one that has the
  /// first of them in capitals).
  std::u32string beforeCapitals, afterCapitals;
};

/// The word level of a dictionary with non-standard rules: its patterns,
/// walked to learn which rule scored each gap, and the rules' rewritings by
/// the node where their patterns end.
struct RewritingLevel {
  Patterns patterns;
  std::unordered_map<std::uint32_t, Rewrite> rules;
};

/// A break that rewrites the word: letters [start, start + length) become
/// rewrite->before, the break, rewrite->after.
struct LevelRewrite {
  const Rewrite* rewrite;  // null: the break only cuts
  std::uint32_t start, length;
};

struct CompoundLevel {
  /// The compound level's patterns (its mapping unused: letters come to it
  /// normalised by the word level's).
  std::shared_ptr<const WordTables> compound;
  /// No break next to any of these (normalised, as words are).
  std::vector<std::u32string> noHyphen;
  /// Whether they are found in a word as given as well as normalised: no
  /// code point of theirs is what the mapping makes of another.
  bool noHyphenAsGiven = false;
  /// The ASCII characters that the compound level knows or a no-break
  /// string starts with (all of them where the strings are not found as
  /// given): a word of other ASCII characters has no parts and no no-break
  /// string, which saves looking.
  std::array<bool, 128> asciiSpecial{};
  /// The dictionary's minimums for a whole word (0: none given; the larger
  /// of these and the Hyphenator's apply, 2 where both are 0) and for the
  /// sides of a part where it joins another.
  std::int64_t left = 0, right = 0;
  std::int64_t compoundLeft = 0, compoundRight = 0;
  /// Whether the dictionary is UTF-8 (else one byte a letter).
  bool utf8 = false;
  /// The word level's non-standard rules, if it has any.
  std::shared_ptr<const RewritingLevel> rewriting;
};

/// What levelBreaksOfWhole made of a word.
enum class Whole {
  Broken,  ///< Its breaks are made.
  Joins,   ///< The compound level joins words in it, where `breaks` says.
  Other,   ///< Nothing done: a word level with non-standard rules.
};

/// The common case at the cost of one lookup a level: a word in which the
/// compound level finds no join (so that it has no parts), broken by a word
/// level without non-standard rules. `padded` holds the codes of the word's
/// letters in the word level's alphabet, as a Hyphenator's road makes them;
/// the rest as for levelBreaks. For a word with joins, leaves them in
/// `breaks` (breaks[k] for a join after letter k), for levelBreaks to take.
Whole levelBreaksOfWhole(const WordTables& word, const CompoundLevel& levels,
                         std::span<const char32_t> original, PaddedWord& padded, std::int64_t left,
                         std::int64_t right, std::span<std::uint8_t> breaks);

/// The breaks of a word: breaks[k] is set when a break may follow letter k,
/// and rewrites[k] (when given; only a level with non-standard rules fills
/// it) says how that break rewrites the word, if it does. `original` holds
/// the word's letters as given, `normalised` the same mapped by the word
/// level's mapping; left and right are the Hyphenator's minimums. `joins`,
/// where given, are the compound level's joins in the whole word, as
/// levelBreaksOfWhole found them.
void levelBreaks(const WordTables& word, const CompoundLevel& levels,
                 std::span<const char32_t> original, std::span<const char32_t> normalised,
                 std::int64_t left, std::int64_t right, std::span<std::uint8_t> breaks,
                 std::span<LevelRewrite> rewrites = {}, const std::uint8_t* joins = nullptr);

}  // namespace hyph::detail
