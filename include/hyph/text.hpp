// Hyphenating running text: every word of a UTF-8 text, with a separator
// inserted at each break.
//
//   hyphenateText(english_US(), "Hyphenation, at last!", "-")
//   // "Hy-phen-ation, at last!"
//
// A word is a maximal run of letters. For a loaded language the letters are
// the code points of its character file; for a Hyphenator built by hand the
// caller says which code points are letters. Everything else (spaces,
// punctuation, digits, invalid bytes, and in HTML the markup) is copied
// unchanged, so removing the inserted separators gives back the input byte
// for byte. Runs longer than `maxTextWordLength` code points are copied
// unhyphenated: they are not words, and this keeps streaming memory bounded.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "hyph/export.hpp"
#include "hyph/hyphenator.hpp"

namespace hyph {

/// Whether a code point is a letter, that is, part of a word.
using LetterPredicate = std::function<bool(char32_t)>;

inline constexpr std::size_t maxTextWordLength = 1024;

enum class Markup {
  /// Plain text: every letter run is a word.
  Plain,
  /// HTML: tags, comments, character references (`&amp;`, `&#173;`) and the
  /// contents of `script`, `style`, `pre`, `code` and `textarea` elements are
  /// copied unchanged; words are hyphenated in the rest.
  Html,
};

struct TextOptions {
  /// Inserted at every break; "\u00AD" (SOFT HYPHEN, as UTF-8) for text that
  /// a renderer breaks itself.
  std::string separator = "-";
  Markup markup = Markup::Plain;
  /// Which code points are letters; empty: the letters of the Hyphenator's
  /// character table (hyphenatorCharMap), which every loaded language has.
  LetterPredicate isLetter;
};

/// Hyphenates text that arrives in chunks, in constant memory: `write` takes
/// any split of the input (even inside a UTF-8 sequence, a word or a tag) and
/// appends to `out` all the output it can already decide; `finish` appends
/// the rest. The result equals `hyphenateText` of the whole input.
/// Throws hyph::Error at construction when no letters are known (a
/// Hyphenator without a character table and no `isLetter`).
class HYPH_API TextHyphenator {
 public:
  explicit TextHyphenator(const Hyphenator& hyphenator, TextOptions options = {});

  void write(std::string_view chunk, std::string& out);
  void finish(std::string& out);

 private:
  enum class State { Text, Tag, Comment, Raw };
  void process(bool final, std::string& out);
  void emitWord(std::string_view word, std::string& out);
  bool letter(char32_t c) const;

  Hyphenator hyphenator_;
  TextOptions options_;
  const CharMap* letters_ = nullptr;
  bool asciiLetters_[128] = {};  // letters_->isLetter below U+0080, when letters_ is set
  std::string pending_;          // undecided input: a word, a partial sequence, a short lookahead
  State state_ = State::Text;
  bool longRun_ = false;        // inside a letter run that exceeded maxTextWordLength
  char quote_ = 0;              // inside a quoted attribute value of a tag
  bool endTag_ = false;         // the tag being read is an end tag
  bool nameDone_ = false;       // the tag's name has been read
  char tagLast_ = 0;            // the byte of the tag before the current one
  std::string tagName_;         // lower case, at most a few letters
  std::string rawName_;         // the element whose contents pass unchanged
  std::size_t rawMatched_ = 0;  // bytes of "</" + rawName_ matched so far
  int dashes_ = 0;              // '-' just before a possible "-->"
  std::vector<std::size_t> breaks_;
};

/// `text` with `separator` inserted at every break of every word.
HYPH_API std::string hyphenateText(const Hyphenator& h, std::string_view text,
                                   std::string_view separator = "-");
/// The same with options (separator, markup, letters).
HYPH_API std::string hyphenateText(const Hyphenator& h, std::string_view text,
                                   const TextOptions& options);
/// The same, appended to `out`.
HYPH_API void hyphenateText(const Hyphenator& h, std::string_view text, std::string& out,
                            const TextOptions& options = {});

}  // namespace hyph
