// The exception dictionary: words whose breaks a language lists explicitly.
//
// An entry is a word with a hyphen at each permitted break ("as-so-ciate");
// the dictionary maps the word without hyphens ("associate") to its score
// list (0,0,1,0,1,0,0,0,0,0), which `hyphenate` uses instead of the patterns.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "hyph/export.hpp"
#include "hyph/scores.hpp"

namespace hyph {

/// Hash of a word, usable with `std::u32string` and `std::u32string_view`
/// alike so that a lookup needs no temporary string.
struct HYPH_API WordHash {
  using is_transparent = void;  ///< WordTables by view, without a string.
  /// The hash of the word's code points (FNV-1a).
  std::size_t operator()(std::u32string_view word) const noexcept;
};

/// An immutable dictionary from word to score list. Copying is O(1); adding
/// and merging return new dictionaries. Default construction gives the empty
/// dictionary, the identity of merge (`operator|`).
class HYPH_API Exceptions {
 public:
  /// The map from word to score list.
  using Map = std::unordered_map<std::u32string, Scores, WordHash, std::equal_to<>>;

  /// The empty dictionary.
  Exceptions();
  /// The dictionary of this map.
  explicit Exceptions(Map map);
  /// The dictionary of a map with the standard hash.
  explicit Exceptions(const std::unordered_map<std::u32string, Scores>& map);

  /// The one member: the map from word to score list.
  const Map& map() const { return *map_; }

  /// Equal when both hold the same keys with the same lists.
  friend HYPH_API bool operator==(const Exceptions& a, const Exceptions& b);

 private:
  std::shared_ptr<const Map> map_;
};

/// The score list of an entry: one element per gap, 1 where a hyphen stands.
/// "ta-ble" gives 0,0,1,0,0,0; "-" gives 1; "a--b" gives 0,1,0,0.
HYPH_API Scores scoreException(std::u32string_view entry);

/// Pointwise minimum, as long as the shorter list: (0,1,1) and (1,1) give 0,1.
HYPH_API Scores zipMin(const Scores& a, const Scores& b);

/// The dictionary with `entry` added under its word (the entry without
/// hyphens). A word already present keeps the pointwise minimum of both
/// lists, so a gap stays a break only if every entry marks it.
HYPH_API Exceptions addException(std::u32string_view entry, const Exceptions& dictionary);

/// The stored list of exactly `word` (no normalisation, case-sensitive), or
/// nullptr. The pointer stays valid as long as the dictionary (or a copy).
HYPH_API const Scores* lookupException(std::u32string_view word, const Exceptions& dictionary);

/// The dictionary of an exception file: every line is an entry, taken whole.
HYPH_API Exceptions parseExceptions(std::u32string_view text);

/// Merge: the union of both; a word in both keeps `zipMin` of its lists.
HYPH_API Exceptions operator|(const Exceptions& a, const Exceptions& b);
HYPH_API Exceptions sconcat(const Exceptions& first, std::span<const Exceptions> rest);
HYPH_API Exceptions mconcat(std::span<const Exceptions> dictionaries);
/// `dictionary` merged with itself `count` times, which is `dictionary`;
/// throws hyph::Error when `count` is below 1.
HYPH_API Exceptions stimes(std::int64_t count, const Exceptions& dictionary);

/// Text form, entries in ascending order of their words:
/// `Exceptions (fromList [("table",[0,0,1,0,0,0])])`, wrapped in parentheses
/// at precedence 11 or more; `rest` is appended.
HYPH_API std::string showsPrec(std::int64_t precedence, const Exceptions& dictionary,
                               std::string_view rest = {});
HYPH_API std::string show(const Exceptions& dictionary);
HYPH_API std::string showList(std::span<const Exceptions> dictionaries);
HYPH_API std::ostream& operator<<(std::ostream& out, const Exceptions& dictionary);

/// A word as a string literal with the escapes of the text form:
/// U"\u00e91" gives "\"\\233\\&1\"".
HYPH_API std::string showWord(std::u32string_view word);

}  // namespace hyph
