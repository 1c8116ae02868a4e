// The breaks of the words of running text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "hyph/text.hpp"
#include "unicode.hpp"

namespace hyph::text {

/// A language in which words are hyphenated: its Hyphenator, and which code
/// points are its letters: the table's letters and every other letter of
/// Unicode (which its patterns do not know, and so score nothing), or the
/// caller's predicate.
struct WordLanguage {
  const Hyphenator* hyphenator = nullptr;
  const CharTable* letters = nullptr;
  const LetterPredicate* isLetterOf = nullptr;  // when `letters` is nullptr
  /// Words of fewer letters have no breaks (0: any may have).
  std::size_t minLetters = 0;

  /// Whether its breaks may rewrite words (a libhyphen dictionary's).
  bool rewrites = false;

  /// Sets minLetters from the Hyphenator's minimums, and whether it rewrites.
  void readHyphenator() {
    rewrites = hyphenatorRewrites(*hyphenator);
    const std::int64_t left = hyphenatorLeftMin(*hyphenator);
    const std::int64_t right = hyphenatorRightMin(*hyphenator);
    minLetters = left > 0 && right > 0 && left < (1 << 20) && right < (1 << 20)
                     ? static_cast<std::size_t>(left + right)
                     : 0;
  }

  bool isLetter(char32_t c) const {
    if (!letters) return (*isLetterOf)(c);
    // Below U+0080, Unicode's letters are A to Z and a to z.
    return letters->isLetter(c) ||
           (c < 0x80 ? (c | 0x20) >= U'a' && (c | 0x20) <= U'z' : isUnicodeLetter(c));
  }
};

/// A word of a token: a run of letters with the marks that follow them, and
/// with soft hyphens between them, as bytes [start, end) of the text.
struct Word {
  std::size_t start, end;
  std::size_t letters;
  bool soft;     // it has a soft hyphen: its breaks are there already
  bool special;  // it has character references or marks, which the lookup must read
};

/// How a break rewrites its word: bytes [start, end) of the word are
/// written `before`, the separator, `after`.
struct Rewriting {
  std::size_t start, end;
  std::string before, after;
};

/// Finds the breaks of words, as the options ask; keeps its scratch from
/// word to word.
class WordBreaker {
 public:
  explicit WordBreaker(const TextOptions& options) : options_(options) {}

  /// The breaks of the word, bytes [word.start, word.end) of `text`, as byte
  /// offsets into the word: none where it is left whole (it has its breaks
  /// already, it is too long or too short, or the options skip it), and
  /// none right after a hyphen of the word, where the line may break
  /// already, or before a combining mark, which belongs with the character
  /// before it. Valid until the next call.
  const std::vector<std::size_t>& breaks(const WordLanguage& language, std::string_view text,
                                         const Word& word);
  /// For the breaks of the last call, in the same order, how each rewrites
  /// the word; empty when none does. A rewriting break is left out where the
  /// separator is a soft hyphen, which cannot change the spelling.
  const std::vector<Rewriting>& rewritings() const { return rewritings_; }

 private:
  void breakPlain(const WordLanguage& language, std::string_view bytes);
  template <class Allowed>
  void breakRewriting(const WordLanguage& language, std::string_view bytes, Allowed allowed);
  void breakSpecial(const WordLanguage& language, std::string_view bytes);
  template <class AllCapitals>
  bool leftWhole(std::size_t letters, AllCapitals allCapitals) const;

  const TextOptions& options_;
  // Scratch, reused from word to word.
  std::vector<std::size_t> breaks_;
  std::vector<Rewriting> rewritings_;
  std::u32string lookup_, marks_;
  std::vector<std::size_t> starts_, markStarts_;
};

}  // namespace hyph::text
