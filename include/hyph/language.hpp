// The 73 built-in languages: their enumeration, names, file affixes and
// minimums, the loader that makes a Hyphenator from a language's embedded
// data, and the process-wide shared Hyphenator of each language.
//
//   hyph::hyphenate(hyph::english_US(), U"Hyphenation")  // "Hy", "phen", "ation"
#pragma once

#include <cstdint>
#include <iosfwd>
#include <iterator>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hyph/charmap.hpp"
#include "hyph/export.hpp"
#include "hyph/hyphenator.hpp"

namespace hyph {

/// The built-in languages, in their fixed order (ordinals 0 to 72). Ordering
/// and comparison are those of the ordinals, so `English_US < English_GB`.
enum class Language : std::uint8_t {
  Afrikaans,
  Armenian,
  Assamese,
  Basque,
  Bengali,
  Bulgarian,
  Catalan,
  Chinese,
  Coptic,
  Croatian,
  Czech,
  Danish,
  Dutch,
  English_US,
  English_GB,
  Esperanto,
  Estonian,
  Ethiopic,
  Finnish,
  French,
  Friulan,
  Galician,
  Georgian,
  German_1901,
  German_1996,
  German_Swiss,
  Greek_Ancient,
  Greek_Mono,
  Greek_Poly,
  Gujarati,
  Hindi,
  Hungarian,
  Icelandic,
  Indonesian,
  Interlingua,
  Irish,
  Italian,
  Kannada,
  Kurmanji,
  Latin,
  Latin_Classic,
  Latvian,
  Lithuanian,
  Malayalam,
  Marathi,
  Mongolian,
  Norwegian_Bokmal,
  Norwegian_Nynorsk,
  Occitan,
  Oriya,
  Panjabi,
  Piedmontese,
  Polish,
  Portuguese,
  Romanian,
  Romansh,
  Russian,
  Sanskrit,
  Serbian_Cyrillic,
  Serbocroatian_Cyrillic,
  Serbocroatian_Latin,
  Slovak,
  Slovenian,
  Spanish,
  Swedish,
  Tamil,
  Telugu,
  Thai,
  Turkish,
  Turkmen,
  Ukrainian,
  Uppersorbian,
  Welsh,
};

inline constexpr Language firstLanguage = Language::Afrikaans;
inline constexpr Language lastLanguage = Language::Welsh;
inline constexpr std::int64_t languageCount = 73;

namespace detail {
struct LanguageInfo {
  std::string_view name;
  std::string_view affix;
  std::int64_t leftMin;
  std::int64_t rightMin;
};
inline constexpr LanguageInfo kLanguages[] = {
    {"Afrikaans", "af", 1, 2},
    {"Armenian", "hy", 1, 2},
    {"Assamese", "as", 1, 1},
    {"Basque", "eu", 2, 2},
    {"Bengali", "bn", 1, 1},
    {"Bulgarian", "bg", 2, 2},
    {"Catalan", "ca", 2, 2},
    {"Chinese", "zh-latn-pinyin", 1, 1},
    {"Coptic", "cop", 1, 1},
    {"Croatian", "hr", 2, 2},
    {"Czech", "cs", 2, 3},
    {"Danish", "da", 2, 2},
    {"Dutch", "nl", 2, 2},
    {"English_US", "en-us", 2, 3},
    {"English_GB", "en-gb", 2, 3},
    {"Esperanto", "eo", 2, 2},
    {"Estonian", "et", 2, 3},
    {"Ethiopic", "mul-ethi", 1, 1},
    {"Finnish", "fi", 2, 2},
    {"French", "fr", 2, 3},
    {"Friulan", "fur", 2, 2},
    {"Galician", "gl", 2, 2},
    {"Georgian", "ka", 1, 2},
    {"German_1901", "de-1901", 2, 2},
    {"German_1996", "de-1996", 2, 2},
    {"German_Swiss", "de-ch-1901", 2, 2},
    {"Greek_Ancient", "grc", 1, 1},
    {"Greek_Mono", "el-monoton", 1, 1},
    {"Greek_Poly", "el-polyton", 1, 1},
    {"Gujarati", "gu", 1, 1},
    {"Hindi", "hi", 1, 1},
    {"Hungarian", "hu", 2, 2},
    {"Icelandic", "is", 2, 2},
    {"Indonesian", "id", 2, 2},
    {"Interlingua", "ia", 2, 2},
    {"Irish", "ga", 2, 3},
    {"Italian", "it", 2, 2},
    {"Kannada", "kn", 1, 1},
    {"Kurmanji", "kmr", 2, 2},
    {"Latin", "la", 2, 2},
    {"Latin_Classic", "la-x-classic", 2, 2},
    {"Latvian", "lv", 2, 2},
    {"Lithuanian", "lt", 2, 2},
    {"Malayalam", "ml", 1, 1},
    {"Marathi", "mr", 1, 1},
    {"Mongolian", "mn-cyrl", 2, 2},
    {"Norwegian_Bokmal", "nb", 2, 2},
    {"Norwegian_Nynorsk", "nn", 2, 2},
    {"Occitan", "oc", 2, 2},
    {"Oriya", "or", 1, 1},
    {"Panjabi", "pa", 1, 1},
    {"Piedmontese", "pms", 2, 2},
    {"Polish", "pl", 2, 2},
    {"Portuguese", "pt", 2, 3},
    {"Romanian", "ro", 2, 2},
    {"Romansh", "rm", 2, 2},
    {"Russian", "ru", 2, 2},
    {"Sanskrit", "sa", 1, 3},
    {"Serbian_Cyrillic", "sr-cyrl", 2, 2},
    {"Serbocroatian_Cyrillic", "sh-cyrl", 2, 2},
    {"Serbocroatian_Latin", "sh-latn", 2, 2},
    {"Slovak", "sk", 2, 3},
    {"Slovenian", "sl", 2, 2},
    {"Spanish", "es", 2, 2},
    {"Swedish", "sv", 2, 2},
    {"Tamil", "ta", 1, 1},
    {"Telugu", "te", 1, 1},
    {"Thai", "th", 2, 3},
    {"Turkish", "tr", 2, 2},
    {"Turkmen", "tk", 2, 2},
    {"Ukrainian", "uk", 2, 2},
    {"Uppersorbian", "hsb", 2, 2},
    {"Welsh", "cy", 2, 3},
};
static_assert(std::size(kLanguages) == languageCount);
}  // namespace detail

/// The ordinal: `fromEnum(Language::English_US)` is 13.
constexpr std::int64_t fromEnum(Language language) { return static_cast<std::int64_t>(language); }

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
  using value_type = Language;
  using difference_type = std::ptrdiff_t;
  using iterator_concept = std::forward_iterator_tag;

  LanguageIterator() = default;
  LanguageIterator(std::int64_t ordinal, std::int64_t step, std::int64_t remaining)
      : ordinal_(ordinal), step_(step), remaining_(remaining) {}

  Language operator*() const { return static_cast<Language>(ordinal_); }
  LanguageIterator& operator++() {
    if (remaining_ > 0 && --remaining_ > 0) ordinal_ += step_;
    if (remaining_ < 0) ordinal_ += step_;
    return *this;
  }
  LanguageIterator operator++(int) {
    LanguageIterator before = *this;
    ++*this;
    return before;
  }
  friend bool operator==(const LanguageIterator& a, const LanguageIterator& b) {
    return a.ordinal_ == b.ordinal_ && a.remaining_ == b.remaining_;
  }
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

  LanguageIterator begin() const { return LanguageIterator(first_, step_, count_); }
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
HYPH_API CharMap parseChars(std::u32string_view text);

/// The decompressed, decoded text of an embedded data file such as
/// "hyph-en-us.pat.txt.gz". Throws hyph::Error "Could not find <name>" when
/// there is no such file, or an error carrying zlib's description when it
/// does not decompress. Undecodable bytes become the code point of their
/// value.
HYPH_API std::u32string readEmbeddedFile(std::string_view name);

/// A new Hyphenator for the language, with its minimums and three deferred
/// tables (character map, patterns, exceptions) that are each decompressed
/// and parsed from the embedded data on first use. Returns at once and never
/// fails; a table that cannot be built raises its error at every use.
HYPH_API Hyphenator loadHyphenator(Language language);

/// The process-wide shared Hyphenator of the language, created on first use
/// (safely from any thread) and never destroyed; the same object as the
/// function of the language's name, so `&languageHyphenator(Language::Welsh)
/// == &welsh()`.
HYPH_API const Hyphenator& languageHyphenator(Language language);

/// The shared Hyphenator of each language, named after its enumerator.
HYPH_API const Hyphenator& afrikaans();
HYPH_API const Hyphenator& armenian();
HYPH_API const Hyphenator& assamese();
HYPH_API const Hyphenator& basque();
HYPH_API const Hyphenator& bengali();
HYPH_API const Hyphenator& bulgarian();
HYPH_API const Hyphenator& catalan();
HYPH_API const Hyphenator& chinese();
HYPH_API const Hyphenator& coptic();
HYPH_API const Hyphenator& croatian();
HYPH_API const Hyphenator& czech();
HYPH_API const Hyphenator& danish();
HYPH_API const Hyphenator& dutch();
HYPH_API const Hyphenator& english_US();
HYPH_API const Hyphenator& english_GB();
HYPH_API const Hyphenator& esperanto();
HYPH_API const Hyphenator& estonian();
HYPH_API const Hyphenator& ethiopic();
HYPH_API const Hyphenator& finnish();
HYPH_API const Hyphenator& french();
HYPH_API const Hyphenator& friulan();
HYPH_API const Hyphenator& galician();
HYPH_API const Hyphenator& georgian();
HYPH_API const Hyphenator& german_1901();
HYPH_API const Hyphenator& german_1996();
HYPH_API const Hyphenator& german_Swiss();
HYPH_API const Hyphenator& greek_Ancient();
HYPH_API const Hyphenator& greek_Mono();
HYPH_API const Hyphenator& greek_Poly();
HYPH_API const Hyphenator& gujarati();
HYPH_API const Hyphenator& hindi();
HYPH_API const Hyphenator& hungarian();
HYPH_API const Hyphenator& icelandic();
HYPH_API const Hyphenator& indonesian();
HYPH_API const Hyphenator& interlingua();
HYPH_API const Hyphenator& irish();
HYPH_API const Hyphenator& italian();
HYPH_API const Hyphenator& kannada();
HYPH_API const Hyphenator& kurmanji();
HYPH_API const Hyphenator& latin();
HYPH_API const Hyphenator& latin_Classic();
HYPH_API const Hyphenator& latvian();
HYPH_API const Hyphenator& lithuanian();
HYPH_API const Hyphenator& malayalam();
HYPH_API const Hyphenator& marathi();
HYPH_API const Hyphenator& mongolian();
HYPH_API const Hyphenator& norwegian_Bokmal();
HYPH_API const Hyphenator& norwegian_Nynorsk();
HYPH_API const Hyphenator& occitan();
HYPH_API const Hyphenator& oriya();
HYPH_API const Hyphenator& panjabi();
HYPH_API const Hyphenator& piedmontese();
HYPH_API const Hyphenator& polish();
HYPH_API const Hyphenator& portuguese();
HYPH_API const Hyphenator& romanian();
HYPH_API const Hyphenator& romansh();
HYPH_API const Hyphenator& russian();
HYPH_API const Hyphenator& sanskrit();
HYPH_API const Hyphenator& serbian_Cyrillic();
HYPH_API const Hyphenator& serbocroatian_Cyrillic();
HYPH_API const Hyphenator& serbocroatian_Latin();
HYPH_API const Hyphenator& slovak();
HYPH_API const Hyphenator& slovenian();
HYPH_API const Hyphenator& spanish();
HYPH_API const Hyphenator& swedish();
HYPH_API const Hyphenator& tamil();
HYPH_API const Hyphenator& telugu();
HYPH_API const Hyphenator& thai();
HYPH_API const Hyphenator& turkish();
HYPH_API const Hyphenator& turkmen();
HYPH_API const Hyphenator& ukrainian();
HYPH_API const Hyphenator& uppersorbian();
HYPH_API const Hyphenator& welsh();

}  // namespace hyph
