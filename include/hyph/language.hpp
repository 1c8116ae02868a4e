// The 73 built-in languages: their enumeration, names, file affixes and
// minimums, the loader that makes a Hyphenator from a language's embedded
// data, and the process-wide shared Hyphenator of each language.
//
//   hyph::hyphenate(hyph::english_US(), U"Hyphenation")  // "Hy", "phen", "ation"
#pragma once

#include <cstdint>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <optional>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hyph/char_table.hpp"
#include "hyph/export.hpp"
#include "hyph/hyphenator.hpp"
#include "hyph/language_list.hpp"

namespace hyph {

/// The built-in languages, in their fixed order (ordinals 0 to 72). Ordering
/// and comparison are those of the ordinals, so `English_US < English_GB`.
enum class Language : std::uint8_t {
#define HYPH_ENUMERATOR(name, function, affix, left, right) name,
  HYPH_LANGUAGES(HYPH_ENUMERATOR)
#undef HYPH_ENUMERATOR
};

inline constexpr Language firstLanguage = Language::Afrikaans;
inline constexpr Language lastLanguage = Language::Welsh;
inline constexpr std::int64_t languageCount = 0
#define HYPH_COUNT_ONE(name, function, affix, left, right) +1
    HYPH_LANGUAGES(HYPH_COUNT_ONE);
#undef HYPH_COUNT_ONE
static_assert(static_cast<std::int64_t>(lastLanguage) == languageCount - 1);

namespace detail {
struct LanguageInfo {
  std::string_view name;
  std::string_view affix;
  std::int64_t leftMin;
  std::int64_t rightMin;
};
inline constexpr LanguageInfo kLanguages[] = {
#define HYPH_LANGUAGE_INFO(name, function, affix, left, right) {#name, affix, left, right},
    HYPH_LANGUAGES(HYPH_LANGUAGE_INFO)
#undef HYPH_LANGUAGE_INFO
};
static_assert(std::size(kLanguages) == languageCount);
}  // namespace detail

namespace detail {
/// Throws the error of toEnum for an ordinal that no language has.
[[noreturn, gnu::cold]] HYPH_API void throwOutOfRange(std::int64_t ordinal);
}  // namespace detail

/// The ordinal: `fromEnum(Language::English_US)` is 13. A value of the type
/// that is no language (a cast of 73 to 255) throws the error of toEnum, and
/// so does every function that takes a Language.
constexpr std::int64_t fromEnum(Language language) {
  const auto ordinal = static_cast<std::int64_t>(language);
  if (ordinal >= languageCount) [[unlikely]]
    detail::throwOutOfRange(ordinal);
  return ordinal;
}

/// The language with this ordinal; throws hyph::Error
/// "toEnum{Language}: tag (73) is outside of enumeration's range (0,72)".
HYPH_API Language toEnum(std::int64_t ordinal);
/// The next language; throws hyph::Error for `Welsh`.
HYPH_API Language succ(Language language);
/// The previous language; throws hyph::Error for `Afrikaans`.
HYPH_API Language pred(Language language);

/// The tag of the language's data files: "en-us", "de-ch-1901", "zh-latn-pinyin".
constexpr std::string_view languageAffix(Language language) {
  return detail::kLanguages[fromEnum(language)].affix;
}
/// The enumerator's name: "English_US".
constexpr std::string_view languageName(Language language) {
  return detail::kLanguages[fromEnum(language)].name;
}
/// The least number of code points before the first and after the last break.
constexpr std::int64_t languageLeftMin(Language language) {
  return detail::kLanguages[fromEnum(language)].leftMin;
}
constexpr std::int64_t languageRightMin(Language language) {
  return detail::kLanguages[fromEnum(language)].rightMin;
}

/// The language of a name as people write it, case-insensitively and with
/// "_" read as "-": an affix ("en-us", "de-ch-1901"), an enumerator name
/// ("English_US"), or a BCP 47 tag, matched by language, then script, then
/// region ("en" and "en-CA" give English_US, "en-GB" and "en-AU" English_GB,
/// "de" and "de-AT" German_1996, "de-CH" German_Swiss, "de-1901" German_1901,
/// "el" Greek_Mono, "sr-Latn" Serbocroatian_Latin, "no" Norwegian_Bokmal,
/// "pt-BR" Portuguese). A POSIX locale's codeset and modifier are ignored
/// ("de_DE.UTF-8"). A tag of a language that hyph does not have, or that
/// it has only in another script ("zh", "mn-Mong"), gives nothing: never a
/// guess.
HYPH_API std::optional<Language> findLanguage(std::string_view name);

/// Up to three languages that `name`, which findLanguage does not know, may
/// have meant: those whose name starts with it, or whose name, first word of
/// the name or affix is a typing slip away ("germn" gives German_1996 first,
/// then the other two German languages). Empty when none comes close.
HYPH_API std::vector<Language> languagesLike(std::string_view name);

/// What to tell a user who named a language that findLanguage does not
/// know: "unknown language 'germn'; did you mean German_1996, German_1901,
/// German_Swiss?", the question only when languagesLike has suggestions.
HYPH_API std::string unknownLanguageMessage(std::string_view name);

/// Text form: the enumerator's name at any precedence, followed by `rest`.
HYPH_API std::string showsPrec(std::int64_t precedence, Language language,
                               std::string_view rest = {});
HYPH_API std::string show(Language language);
/// "[English_US,German_1996]".
HYPH_API std::string showList(std::span<const Language> languages);
HYPH_API std::ostream& operator<<(std::ostream& out, Language language);

/// Iterator of a LanguageRange.
class LanguageIterator {
 public:
  using value_type = Language;                         ///< A language.
  using difference_type = std::ptrdiff_t;              ///< A distance.
  using iterator_concept = std::forward_iterator_tag;  ///< Forward only.

  LanguageIterator() = default;
  /// At `ordinal`, with `remaining` languages to go (-1: endless) in steps of `step`.
  LanguageIterator(std::int64_t ordinal, std::int64_t step, std::int64_t remaining)
      : ordinal_(ordinal), step_(step), remaining_(remaining) {}

  /// The language it stands at.
  Language operator*() const { return static_cast<Language>(ordinal_); }
  /// The next language of the range.
  LanguageIterator& operator++() {
    if (remaining_ > 0 && --remaining_ > 0) ordinal_ += step_;
    if (remaining_ < 0) ordinal_ += step_;
    return *this;
  }
  /// The next language, giving this one.
  LanguageIterator operator++(int) {
    LanguageIterator before = *this;
    ++*this;
    return before;
  }
  /// Whether both stand at the same place of the same range.
  friend bool operator==(const LanguageIterator& a, const LanguageIterator& b) {
    return a.ordinal_ == b.ordinal_ && a.remaining_ == b.remaining_;
  }
  /// Whether the range has ended.
  friend bool operator==(const LanguageIterator& it, std::default_sentinel_t) {
    return it.remaining_ == 0;
  }

 private:
  std::int64_t ordinal_ = 0;
  std::int64_t step_ = 0;
  std::int64_t remaining_ = 0;  // -1: endless
};

/// A lazy arithmetic progression of languages, produced on demand; it may be
/// endless (`enumFromThen(x, x)`), so bound it with `std::views::take`.
class LanguageRange : public std::ranges::view_base {
 public:
  LanguageRange() = default;
  /// `count` languages from ordinal `first` in steps of `step`; -1: endless.
  LanguageRange(std::int64_t first, std::int64_t step, std::int64_t count)
      : first_(first), step_(step), count_(count) {}

  /// Its first language.
  LanguageIterator begin() const { return LanguageIterator(first_, step_, count_); }
  /// Its end, which an endless range never reaches.
  std::default_sentinel_t end() const { return {}; }

 private:
  std::int64_t first_ = 0;
  std::int64_t step_ = 1;
  std::int64_t count_ = 0;  // -1: endless
};

/// `from` and every later language, up to `Welsh`.
HYPH_API LanguageRange enumFrom(Language from);
/// `from`, `then`, and on in steps of their distance, up to `Welsh` (or down
/// to `Afrikaans`); endless when both are equal.
HYPH_API LanguageRange enumFromThen(Language from, Language then);
/// `from` up to `to`, empty when `to` comes first.
HYPH_API LanguageRange enumFromTo(Language from, Language to);
/// `from`, `then`, and on in steps of their distance, never past `to`.
HYPH_API LanguageRange enumFromThenTo(Language from, Language then, Language to);

/// Parses a character file: each code point of a line after the first maps
/// to the line's first code point ("aA" maps `A` to `a`), a later line
/// overriding an earlier one; lines split at line feeds, empty lines skipped,
/// nothing trimmed. Every code point of the file counts as a letter.
HYPH_API CharTable parseChars(std::u32string_view text);

/// The decompressed, decoded text of an embedded data file such as
/// "hyph-en-us.pat.txt.gz". Throws hyph::Error "Could not find <name>" when
/// there is no such file, or an error carrying zlib's description when it
/// does not decompress. Undecodable bytes become the code point of their
/// value.
HYPH_API std::u32string readEmbeddedFile(std::string_view name);

/// The licence and provenance of the language's patterns, as UTF-8 text:
/// the embedded "lic" file, which whoever ships the patterns ships too.
HYPH_API std::string languageLicense(Language language);

/// The short name of that licence, where the text names one: "MIT",
/// "LPPL-1.3+", "MIT or LGPL-3+ or GPL-3+"; "custom" for a licence given
/// only as its text, "none stated" where the text says there is none; "not
/// in this build" for a language that the library does not hold.
HYPH_API std::string languageLicenseName(Language language);

/// Whether this library holds the language's data: every language, unless
/// it was built with a list of them (the CMake option HYPH_LANGUAGES). Every
/// use of another language's tables, and its licence, throws hyph::Error
/// with a message that names the option.
HYPH_API bool languageBuiltIn(Language language);

/// Gives a library that does not hold the language's data (built with
/// HYPH_LANGUAGES=none or a list without it, as the WebAssembly build is)
/// the language's tables: the bytes of a file that the build tool
/// `hyph_compile_tables --blobs DIR` writes, AFFIX.tables (the tables packed
/// and gzipped, whose automaton is built here: a few milliseconds for the
/// largest) or AFFIX.compiled (the compiled block, as the build compiles
/// into a library). They are checked, so that no lookup can read outside
/// them, and copied; from then on the
/// language's shared Hyphenator, loadHyphenator and text marked as the
/// language use them, as they would built-in tables. Their patterns,
/// exceptions and licence are not in the file: asking for those throws.
/// Giving a language its tables again replaces them for what is made after.
/// Throws hyph::Error "Damaged hyphenation tables: ..." for bytes that are
/// not such tables (or are another version's, or another byte order's), and
/// for a language that the library holds, whose tables are its own.
HYPH_API void addLanguageTables(Language language, std::span<const std::uint8_t> tables);
/// The same, without a copy of a compiled block: it is read where it is,
/// which must be on a multiple of 8 bytes, and `owner` keeps it alive as
/// long as it is used. (Gzipped tables are unzipped to memory of the
/// library's own; packed ones are read into tables of the library's own,
/// and not kept.)
HYPH_API void addLanguageTables(Language language, std::shared_ptr<const void> owner,
                                std::span<const std::uint8_t> tables);
/// The same for the compiled block of a file that a program ships together
/// with the file's digest (tablesDigest, which `hyph_compile_tables --blobs
/// DIR` writes to DIR/digests.txt), from a place as trusted as the program
/// itself: where the bytes still have that digest, they are read as the
/// library reads its own compiled tables, without the pass that checks them
/// (loading is then taking their address); otherwise, and for packed or
/// gzipped bytes, they are checked as above.
HYPH_API void addLanguageTables(Language language, std::shared_ptr<const void> owner,
                                std::span<const std::uint8_t> tables, std::uint64_t digest);

/// A Hyphenator of the language's tables, as addLanguageTables takes them,
/// with the language's minimums, that the language is not given: the
/// language's shared Hyphenator and loadHyphenator stay as they were, and
/// the hyphenator is the caller's alone. Reading a file of tables this way
/// costs what adding it does. Throws hyph::Error as addLanguageTables does,
/// but takes tables of any language, built in or not.
HYPH_API Hyphenator tablesHyphenator(Language language, std::span<const std::uint8_t> tables);

/// A digest of the bytes of a file of tables: 64 bits, which change with
/// any damage to them (it is no defence against bytes made to match it).
HYPH_API std::uint64_t tablesDigest(std::span<const std::uint8_t> tables);

/// Whether the language's words can be hyphenated: it is built in
/// (languageBuiltIn), or was given its tables (addLanguageTables).
HYPH_API bool languageAvailable(Language language);

/// A new Hyphenator for the language, with its minimums. Words are looked
/// up in the language's tables as the library was built with them: compiled
/// into it (the default, ready at once and shared by every Hyphenator of
/// the language), or else parsed from the embedded data on first use. Its
/// character table, patterns and exceptions, for callers that ask for them,
/// are parsed from the embedded data on first use. Returns at once and never
/// fails; a table that cannot be built raises its error at every use.
HYPH_API Hyphenator loadHyphenator(Language language);

/// The process-wide shared Hyphenator of the language, created on first use
/// (safely from any thread) and never destroyed; the same object as the
/// function of the language's name, so `&languageHyphenator(Language::Welsh)
/// == &welsh()`.
HYPH_API const Hyphenator& languageHyphenator(Language language);

/// @name Shared hyphenators
/// The shared Hyphenator of each language, by the enumerator's name with its
/// first letter in lower case: `english_US()`, `german_1996()`, `welsh()`;
/// the same object as languageHyphenator of the enumerator.
///@{
#define HYPH_SHARED_HYPHENATOR(name, function, affix, left, right) \
  HYPH_API const Hyphenator& function();
HYPH_LANGUAGES(HYPH_SHARED_HYPHENATOR)
#undef HYPH_SHARED_HYPHENATOR
///@}

}  // namespace hyph
