// The breaks of the words of running text.
#include "words.hpp"

#include <algorithm>

#include "engine/levels.hpp"
#include "engine/utf8.hpp"
#include "html.hpp"
#include "unicode.hpp"

namespace hyph::text {

namespace {

/// A hyphen (Unicode's Hyphen property, less the soft hyphen, which no word
/// that is hyphenated holds): a line may break after it already, so no
/// separator goes there. Russian, for one, counts "-" among its letters.
bool isHyphen(char32_t c) {
  switch (c) {
    case 0x002D:
    case 0x058A:
    case 0x05BE:
    case 0x1806:
    case 0x2010:
    case 0x2011:
    case 0x2E17:
    case 0x30A0:
    case 0xFE63:
    case 0xFF0D:
      return true;
    default:
      return false;
  }
}

bool allCapitals(std::string_view bytes) {
  bool all = true;
  detail::decodeUtf8(bytes,
                     [&all](char32_t c, std::size_t, std::size_t) { all = all && isCapital(c); });
  return all;
}

}  // namespace

template <class AllCapitals>
bool WordBreaker::leftWhole(std::size_t letters, AllCapitals allCapitals) const {
  return letters < options_.minWordLength || (options_.skipCapitals && allCapitals());
}

const std::vector<std::size_t>& WordBreaker::breaks(const WordLanguage& language,
                                                   std::string_view text, const Word& word) {
  const std::string_view bytes = text.substr(word.start, word.end - word.start);
  breaks_.clear();
  rewritings_.clear();
  if (word.letters < language.minLetters) return breaks_;  // too short for any break
  if (!word.soft && word.letters <= maxTextWordLength) {
    if (word.special)
      breakSpecial(language, bytes);
    else if (!leftWhole(word.letters, [&] { return allCapitals(bytes); }))
      breakPlain(language, bytes);
  }
  return breaks_;
}

namespace {

/// Whether no separator goes at byte `at` of a word that is not all ASCII
/// there: right after a hyphen, or before a mark (one that the language
/// counts as a letter, a vowel sign, stays with its character all the same).
bool noBreakAt(std::string_view word, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(word.data());
  std::size_t start = at - 1;  // the code point before the break
  while (start > 0 && (p[start] & 0xC0) == 0x80 && at - start < 4) --start;
  if (isHyphen(detail::decodeOne(p + start, at - start).codePoint)) return true;
  return p[at] >= 0x80 && isMark(detail::decodeOne(p + at, word.size() - at).codePoint);
}

}  // namespace

void WordBreaker::breakPlain(const WordLanguage& language, std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  auto allowed = [&](std::size_t at) {
    const bool ascii = p[at - 1] < 0x80 && p[at] < 0x80;
    return ascii ? p[at - 1] != '-' : !noBreakAt(bytes, at);
  };
  if (detail::kCompoundLevels && language.rewrites) {
    breakRewriting(language, bytes, allowed);
    return;
  }
  breakPoints(*language.hyphenator, bytes, breaks_);
  std::size_t kept = 0;
  for (const std::size_t at : breaks_)
    if (allowed(at)) breaks_[kept++] = at;
  breaks_.resize(kept);
}

template <class Allowed>
void WordBreaker::breakRewriting(const WordLanguage& language, std::string_view bytes,
                                 Allowed allowed) {
  const bool soft = options_.separator == "\u00AD";
  bool rewrites = false;
  for (Break& b : hyph::breaks(*language.hyphenator, bytes)) {
    if (!allowed(b.position) || (soft && b.rewrites())) continue;
    rewrites = rewrites || b.rewrites();
    breaks_.push_back(b.position);
    rewritings_.push_back({b.start, b.end, std::move(b.before), std::move(b.after)});
  }
  if (!rewrites) rewritings_.clear();
}

// A word with references or marks: looked up as the characters it stands
// for, each letter composed with its marks where Unicode composes them (a
// decomposed "U" and U+0308 as "Ü"), else followed by them, which the
// patterns score as they score any character they do not know. No break
// goes before a mark.
void WordBreaker::breakSpecial(const WordLanguage& language, std::string_view bytes) {
  lookup_.clear();
  starts_.clear();
  marks_.clear();
  markStarts_.clear();
  auto closeLetter = [&] {
    if (marks_.empty()) return;  // (a word starts with a letter: lookup_ holds one)
    if (const std::optional<char32_t> one = composed(lookup_.back(), marks_)) {
      lookup_.back() = *one;
    } else {
      lookup_ += marks_;
      starts_.insert(starts_.end(), markStarts_.begin(), markStarts_.end());
    }
    marks_.clear();
    markStarts_.clear();
  };
  const bool html = options_.markup == Markup::Html;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t k = 0; k < bytes.size();) {
    char32_t c;
    std::size_t length;
    if (html && bytes[k] == '&') {
      const Reference reference = referenceAt(bytes.substr(k), true);
      c = reference.codePoint;
      length = reference.length;
    } else {
      const detail::Decoded decoded = detail::decodeOne(p + k, bytes.size() - k);
      c = decoded.codePoint;
      length = decoded.length;
    }
    if (language.isLetter(c) && !isMark(c)) {
      closeLetter();
      lookup_ += c;
      starts_.push_back(k);
    } else {
      marks_ += c;
      markStarts_.push_back(k);
    }
    k += length;
  }
  closeLetter();
  const std::size_t letters = static_cast<std::size_t>(
      std::count_if(lookup_.begin(), lookup_.end(), [](char32_t c) { return !isMark(c); }));
  if (leftWhole(letters, [&] {
        return std::all_of(lookup_.begin(), lookup_.end(),
                           [](char32_t c) { return isMark(c) || isCapital(c); });
      }))
    return;
  breakPoints(*language.hyphenator, std::u32string_view(lookup_), breaks_);
  if (detail::kCompoundLevels && language.rewrites) {
    // Written with references or marks, a word keeps the breaks that only
    // cut it.
    for (const U32Break& b : hyph::breaks(*language.hyphenator, std::u32string_view(lookup_)))
      if (b.rewrites()) std::erase(breaks_, b.position);
  }
  std::erase_if(breaks_, [&](std::size_t at) {
    return isHyphen(lookup_[at - 1]) || isMark(lookup_[at]);
  });
  for (std::size_t& position : breaks_) position = starts_[position];
}

}  // namespace hyph::text
