// The Hyphenator record and the splitting of a word into pieces.
//
// A Hyphenator is a complete hyphenation engine for one language: a mapping
// that normalises each code point before lookup, a pattern trie, an exception
// dictionary and two minimums that keep breaks away from the ends of a word.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hyph/char_table.hpp"
#include "hyph/deferred.hpp"
#include "hyph/exceptions.hpp"
#include "hyph/export.hpp"
#include "hyph/pattern.hpp"

namespace hyph {

/// Normalises one code point of a word before it is looked up (typically to
/// lower case).
using CharMapping = std::function<char32_t(char32_t)>;

/// An immutable record; copies share the mapping and the tables. The patterns
/// and the exceptions may be given ready or deferred (built on first use and
/// then kept, see Deferred). Any minimums are accepted, zero and negative ones
/// included.
class HYPH_API Hyphenator {
 public:
  /// The record of a mapping, a trie, a dictionary and two minimums.
  Hyphenator(CharMapping chars, Deferred<Patterns> patterns, Deferred<Exceptions> exceptions,
             std::int64_t leftMin, std::int64_t rightMin);
  /// With a character table (possibly deferred) as the mapping; the same as
  /// passing the table's lookup as a function, but faster.
  Hyphenator(Deferred<CharTable> chars, Deferred<Patterns> patterns,
             Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin);
  /// With a character table that is ready.
  Hyphenator(CharTable chars, Deferred<Patterns> patterns, Deferred<Exceptions> exceptions,
             std::int64_t leftMin, std::int64_t rightMin);

 private:
  friend struct HyphenatorAccess;
  struct Tables;  // the mapping, the tables, and the forms that words are looked up in

  Hyphenator(std::shared_ptr<const Tables> tables, std::int64_t leftMin, std::int64_t rightMin);

  std::shared_ptr<const Tables> tables_;
  std::int64_t leftMin_;
  std::int64_t rightMin_;
};

/// The normalising mapping.
HYPH_API const CharMapping& hyphenatorChars(const Hyphenator& h);
/// The pattern trie, built first if it is deferred (and rethrowing the
/// build's error if that failed).
HYPH_API const Patterns& hyphenatorPatterns(const Hyphenator& h);
/// The exception dictionary, built first if it is deferred.
HYPH_API const Exceptions& hyphenatorExceptions(const Hyphenator& h);
/// Least number of code points before the first break.
HYPH_API std::int64_t hyphenatorLeftMin(const Hyphenator& h);
/// Least number of code points after the last break.
HYPH_API std::int64_t hyphenatorRightMin(const Hyphenator& h);

/// The word cut into the pieces between which a hyphen may go, in order; they
/// concatenate to `word` exactly as given, unless a break rewrites the word
/// (see Break): the pieces are then as written when broken there, Hungarian
/// "asszonnyal" giving "asz", "szony", "nyal". With US English, "Hyphenation"
/// gives "Hy", "phen", "ation". The empty word gives one empty piece; a word
/// shorter than leftMin + rightMin gives itself. Throws hyph::Error
/// "Malformed hyphenation score for <word>" when a non-positive left minimum
/// meets an empty score list, and passes on errors of the tables.
HYPH_API std::vector<std::u32string> hyphenate(const Hyphenator& h, std::u32string_view word);

/// The same for a UTF-8 word: the pieces are byte slices of `utf8word` and
/// concatenate to it byte for byte, even where it is not valid UTF-8 (an
/// undecodable byte counts as one code point of its own value).
/// `hyphenate(english_US(), "Hyphenation")` gives "Hy", "phen", "ation".
HYPH_API std::vector<std::string> hyphenate(const Hyphenator& h, std::string_view utf8word);

/// Where `hyphenate` cuts, without building pieces: the positions (code point
/// offsets, ascending) at which a new piece starts. "Hyphenation" gives 2, 6.
/// A break after the last code point, possible only with non-positive
/// minimums, gives the word's length.
HYPH_API std::vector<std::size_t> breakPoints(const Hyphenator& h, std::u32string_view word);
/// The same into `out` (cleared first), which keeps its capacity: a loop that
/// reuses `out` allocates nothing for words of ordinary length.
HYPH_API void breakPoints(const Hyphenator& h, std::u32string_view word,
                          std::vector<std::size_t>& out);
/// The same for a UTF-8 word, as byte offsets into `utf8word`.
HYPH_API std::vector<std::size_t> breakPoints(const Hyphenator& h, std::string_view utf8word);
HYPH_API void breakPoints(const Hyphenator& h, std::string_view utf8word,
                          std::vector<std::size_t>& out);

/// A break and what it does to the word's spelling. Most breaks only cut
/// the word: start and end are the position, before and after empty. A
/// non-standard break of a libhyphen dictionary (see dictionary.hpp)
/// rewrites the letters around it: Hungarian "asszonnyal" breaks as
/// "asz-szony-nyal", its first break at position 2 rewriting [1, 2), "s",
/// as "sz" before the break and nothing after it. Offsets are those of the
/// word: bytes of a UTF-8 word, code points of a UTF-32 one.
template <class String>
struct BasicBreak {
  std::size_t position = 0;  ///< Where the break falls, as breakPoints gives it.
  std::size_t start = 0;     ///< The first offset that the break rewrites.
  std::size_t end = 0;       ///< Past the last offset that it rewrites.
  String before;             ///< What [start, position) is written as before the break.
  String after;              ///< What [position, end) is written as after it.

  /// Whether the break changes the spelling.
  bool rewrites() const { return start != end || !before.empty() || !after.empty(); }
  friend bool operator==(const BasicBreak&, const BasicBreak&) = default;
};
using Break = BasicBreak<std::string>;        ///< A break of a UTF-8 word.
using U32Break = BasicBreak<std::u32string>;  ///< A break of a word of code points.

/// Every break of `word` with its spelling, in order: the breaks of
/// breakPoints, at the same positions.
HYPH_API std::vector<Break> breaks(const Hyphenator& h, std::string_view utf8word);
HYPH_API std::vector<U32Break> breaks(const Hyphenator& h, std::u32string_view word);

/// The two halves of `word` broken at `b` (one of its breaks), spelt as the
/// break says; no hyphen is added. With Hungarian, "asszonnyal" at its first
/// break gives ("asz", "szonnyal"); at a break that only cuts, the word's
/// own two parts.
HYPH_API std::pair<std::string, std::string> splitAt(std::string_view utf8word, const Break& b);
HYPH_API std::pair<std::u32string, std::u32string> splitAt(std::u32string_view word,
                                                           const U32Break& b);

/// Whether some break of `h` may change a word's spelling (a libhyphen
/// dictionary with non-standard rules); if not, the pieces of `hyphenate`
/// always concatenate to the word.
HYPH_API bool hyphenatorRewrites(const Hyphenator& h);

/// The ways to cut a word in two at one of its breaks (spelt as splitAt
/// spells them), the longest first part first: with Dutch, "Amsterdam" gives ("Amster", "dam") and then
/// ("Am", "sterdam"); a word without breaks gives none.
HYPH_API std::vector<std::pair<std::string, std::string>> iterate(const Hyphenator& h,
                                                                  std::string_view utf8word);
HYPH_API std::vector<std::pair<std::u32string, std::u32string>> iterate(const Hyphenator& h,
                                                                        std::u32string_view word);

/// The longest first part of `word` that, with `hyphen` after it, takes at
/// most `width` code points, and the rest: with Dutch,
/// wrap(h, "autobandventieldopje", 11) gives ("autoband-", "ventieldopje").
/// Nothing when no break leaves a first part that short.
HYPH_API std::optional<std::pair<std::string, std::string>> wrap(const Hyphenator& h,
                                                                 std::string_view utf8word,
                                                                 std::size_t width,
                                                                 std::string_view hyphen = "-");
HYPH_API std::optional<std::pair<std::u32string, std::u32string>> wrap(
    const Hyphenator& h, std::u32string_view word, std::size_t width,
    std::u32string_view hyphen = U"-");

/// The pieces joined with `separator` between them:
/// `join(hyphenate(english_US(), "hyphenation"), "-")` gives "hy-phen-ation".
HYPH_API std::string join(std::span<const std::string> pieces, std::string_view separator);
HYPH_API std::u32string join(std::span<const std::u32string> pieces, std::u32string_view separator);
/// Appends `word` to `out` with `separator` inserted at each of `breaks`
/// (ascending offsets into the word, as breakPoints gives them), allocating
/// nothing beyond what `out` needs to grow.
inline void appendJoined(std::string& out, std::string_view word,
                         std::span<const std::size_t> breaks, std::string_view separator) {
  std::size_t start = 0;
  for (std::size_t position : breaks) {
    out.append(word.data() + start, position - start);
    out.append(separator);
    start = position;
  }
  out.append(word.data() + start, word.size() - start);
}

/// The character table behind the mapping, when the Hyphenator was built with
/// one (as every loaded language is), else nullptr. Builds it if deferred.
HYPH_API const CharTable* hyphenatorCharTable(const Hyphenator& h);
/// hyphenatorCharTable's name in hyph 1.0.0.
[[deprecated("hyphenatorCharMap is now called hyphenatorCharTable")]] inline const CharTable*
hyphenatorCharMap(const Hyphenator& h) {
  return hyphenatorCharTable(h);
}

}  // namespace hyph
