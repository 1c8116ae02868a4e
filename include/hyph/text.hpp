// Hyphenating running text: every word of a UTF-8 text, plain or HTML, with
// a separator inserted at each break.
//
//   hyphenateText(english_US(), "Hyphenation, at last!", "-")
//   // "Hy-phen-ation, at last!"
//
// A word is a run of letters, as TeX reads words: for a loaded language the
// code points of its character file and every other letter of Unicode, of
// any script (Italian "verrà", whose file has no accented letters, is one
// word; letters the patterns do not know score nothing, as in the word
// functions, so a word breaks in text where hyphenate() breaks it); for a
// Hyphenator built by hand, the letters the caller names. Combining marks
// belong to the word they are written in, and no break goes before one: a
// letter and its marks are looked up composed where Unicode composes them
// ("U" and U+0308 as "Ü"), else as they are. Everything else (spaces,
// punctuation, digits, invalid bytes, and in HTML the markup) is copied
// unchanged, so removing the inserted separators gives back the input byte
// for byte.
//
// A hyphen that is a letter of the language (Afrikaans', Portuguese',
// Russian' and Ukrainian's "-") is looked up as a letter, in words and text
// alike, and the place right after it is a break in both: the word
// functions report it, and running text inserts no separator there, since a
// line may break after a hyphen already. Where the hyphen is no letter, it
// ends a word. With Compounds::HyphensOnly, a token with a hyphen between
// letters ("non-exclusive", "Backslash-Zeichen") breaks only there, as TeX
// breaks it.
//
// Left whole as well:
//
// - a word that already has its breaks: letters joined by a soft hyphen
//   (U+00AD, and in HTML &shy;, &#173;, &#xAD;), so that hyphenating the
//   output again changes nothing;
// - URLs ("https://...", "www....") and e-mail addresses;
// - runs of more than maxTextWordLength letters, which are not words;
// - as the options ask, short words, words in capitals (NASA), and
//   code-like tokens (LC_CTYPE, camelCase, --option).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "hyph/export.hpp"
#include "hyph/hyphenator.hpp"
#include "hyph/language.hpp"

namespace hyph {

/// Whether a code point is a letter, that is, part of a word.
using LetterPredicate = std::function<bool(char32_t)>;

/// Words of more letters are copied unhyphenated.
inline constexpr std::size_t maxTextWordLength = 1024;

enum class Markup {
  /// Plain text: every letter run is a word.
  Plain,
  /// HTML: tags, comments and attribute values are copied unchanged, and
  /// so is the content of `script`, `style`, `textarea`, `title`, `pre`,
  /// `code`, `kbd`, `samp`, `tt`, `var`, `math` and `svg` elements. Character
  /// references are read as the characters they stand for and copied as
  /// written: "Stra&szlig;enbahn" breaks as "Straßenbahn" does. The `lang`
  /// and `xml:lang` attributes choose the language of their element's text,
  /// the nearest one first (see TextOptions::followLang). Elements nest to
  /// any depth: each open element takes 16 bytes (at most 32 while the
  /// stack grows), whatever its name and attributes.
  Html,
};

/// How the words of a compound written with a hyphen are broken.
enum class Compounds {
  /// At the hyphen, and each word at its own breaks too
  /// ("Back-slash-Zei-chen"); the default.
  EveryPart,
  /// Only at the hyphen, as TeX and German typography break them
  /// ("Backslash-Zeichen"): a token with a hyphen (U+002D or U+2010) between
  /// two letters gets no separator.
  HyphensOnly,
};

/// How running text is hyphenated: the separator, the markup, which code
/// points are letters, and which words to leave whole.
struct TextOptions {
  /// Inserted at every break; "\u00AD" (SOFT HYPHEN, as UTF-8) for text that
  /// a renderer breaks itself.
  std::string separator = "-";
  /// Plain text or HTML.
  Markup markup = Markup::Plain;
  /// Which code points are letters; empty: the letters of the Hyphenator's
  /// character table (hyphenatorCharTable), which every loaded language has.
  LetterPredicate isLetter = nullptr;
  /// Words of fewer letters are copied unhyphenated (0: none are).
  std::size_t minWordLength = 0;
  /// Words whose letters are all capitals (acronyms such as NASA) are
  /// copied unhyphenated.
  bool skipCapitals = false;
  /// Compounds written with a hyphen: broken at every part's breaks, or at
  /// the hyphen only.
  Compounds compounds = Compounds::EveryPart;
  /// Tokens that look like code are copied unhyphenated: one with an
  /// underscore (LC_CTYPE), a digit between two letters (utf8proc), a word
  /// in mixed case (camelCase, GThemedIcon, HTTPServer), or an option
  /// ("-wholename", "--in-place").
  bool skipCode = false;
  /// HTML: text inside an element with a `lang` or `xml:lang` attribute is
  /// hyphenated in that language (found by findLanguage; the shared
  /// Hyphenator of each language met is used), and copied unhyphenated where
  /// hyph does not have it (or this library was built without it). Text
  /// outside any uses the Hyphenator given.
  bool followLang = true;
  /// The language of the Hyphenator given, when it has one: text marked as
  /// that language uses it (with its custom tables, say) rather than the
  /// shared Hyphenator of the language.
  std::optional<Language> language = std::nullopt;
};

/// Hyphenates text that arrives in chunks, in bounded memory: `write` takes
/// any split of the input (even inside a UTF-8 sequence, a word or a tag) and
/// appends to `out` all the output it can already decide, which is all of
/// every line that has ended; `finish` appends the rest. The result equals
/// `hyphenateText` of the whole input. Throws hyph::Error at construction
/// when no letters are known (a Hyphenator without a character table and no
/// `isLetter`). Use each from one thread at a time.
class HYPH_API TextHyphenator {
 public:
  /// A hyphenator of text with `hyphenator`'s words, as `options` say.
  explicit TextHyphenator(const Hyphenator& hyphenator, TextOptions options = {});
  ~TextHyphenator();
  /// Takes over the other's state, input held back included.
  TextHyphenator(TextHyphenator&&) noexcept;
  /// Takes over the other's state, input held back included.
  TextHyphenator& operator=(TextHyphenator&&) noexcept;

  /// Appends the output that the chunk decides to `out`.
  void write(std::string_view chunk, std::string& out);
  /// Appends the rest of the output, and makes the hyphenator ready for a
  /// new text.
  void finish(std::string& out);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

/// `text` with `separator` inserted at every break of every word.
HYPH_API std::string hyphenateText(const Hyphenator& h, std::string_view text,
                                   std::string_view separator = "-");
/// The same with options (separator, markup, letters, which words to skip).
HYPH_API std::string hyphenateText(const Hyphenator& h, std::string_view text,
                                   const TextOptions& options);
/// The same, appended to `out`.
HYPH_API void hyphenateText(const Hyphenator& h, std::string_view text, std::string& out,
                            const TextOptions& options = {});

}  // namespace hyph
